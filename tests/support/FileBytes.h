// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The first size bytes of what TestHttpServer::serveGenerated sends.
QByteArray generatedBytes(int size);
// The whole file, or "<missing>" when it cannot be read.
QByteArray readWholeFile(const QString& path);
// Creates or replaces the file with exactly these bytes.
bool writeWholeFile(const QString& path, const QByteArray& bytes);
