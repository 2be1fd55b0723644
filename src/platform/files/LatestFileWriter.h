// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/files/FileThread.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QLoggingCategory;

namespace platform {

// Writes `bytes` as the whole of the file `path`, durably: its bytes and its
// name are on disk when it returns true. False, with the reason in `error`,
// when it could not be written; the file is then as it was. It waits for
// the disk: never on the window's thread.
bool writeWholeFileDurably(const QString& path, const QByteArray& bytes, QString& error);

// A file written whole again and again, each time with
// writeWholeFileDurably, on a FileThread of its own: the caller never waits.
// The last bytes given are the ones that end up on disk: bytes not yet being
// written are replaced by newer ones, and a write under way ends before the
// next begins. A write that fails is logged in `log` and leaves the file as
// it was.
class LatestFileWriter {
public:
    LatestFileWriter(QString path, const QLoggingCategory& log);
    // Writes the last bytes given first: only once the event loop has ended.
    ~LatestFileWriter();
    LatestFileWriter(const LatestFileWriter&) = delete;
    LatestFileWriter& operator=(const LatestFileWriter&) = delete;

    void write(QByteArray bytes);

private:
    struct Waiting;

    std::shared_ptr<Waiting> waiting_;
    FileThread thread_;
};

}  // namespace platform
