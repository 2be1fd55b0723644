// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/ListeningRecord.h"
#include "platform/files/LatestFileWriter.h"

#include <QString>

#include <memory>
#include <optional>

// The listening record's file in a favourites folder, read and written whole.
namespace listeningRecord {

// The record of `folder`: empty when there is none. One that cannot be read
// (damaged, or written by a newer version of the program) is renamed aside
// with a warning, so nothing overwrites it and the lectures play on.
// Nothing when a record is there that could neither be read nor set aside:
// it must not be written over.
std::optional<ListeningPlaces> read(const QString& folder);
// False, with a warning, when it could not be written; the old record is
// then unchanged. It waits for the disk: never on the window's thread.
bool write(const QString& folder, const ListeningPlaces& places);
// What writes the record of `folder` while the window plays on: `format` of
// the places, the last given winning; its failures are logged as write's.
std::unique_ptr<platform::LatestFileWriter> writerFor(const QString& folder);

}  // namespace listeningRecord
