#pragma once

#include <QByteArray>
#include <QString>

// The first size bytes of what TestHttpServer::serveGenerated sends.
QByteArray GeneratedBytes(int size);
// The whole file, or "<missing>" when it cannot be read.
QByteArray ReadWholeFile(const QString& path);
// Creates or replaces the file with exactly these bytes.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);
