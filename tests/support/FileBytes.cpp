// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FileBytes.h"

#include "support/TestHttpServer.h"

#include <QFile>

QByteArray generatedBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = TestHttpServer::generatedByte(i);
    return bytes;
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

bool writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}
