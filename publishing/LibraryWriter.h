// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QStringList>

// Puts a built library into its folder. Every changed file is written in
// full beside the library first and only then renamed over the old one, so
// a build that cannot be written leaves the folder as it was and a server
// never sends half a list. Files whose bytes are unchanged are not touched,
// so their dates (and the ETags a server makes of them) stay. A file in
// lists/ that the build did not make is removed: the client would never ask
// for it. Everything else in the folder (pages, audio) is left alone.
class LibraryWriter {
    Q_DECLARE_TR_FUNCTIONS(LibraryWriter)

public:
    explicit LibraryWriter(const QString& libraryFolder);

    // files: each file's bytes by its path below the library's root.
    bool write(const QMap<QString, QByteArray>& files);

    QStringList written() const { return written_; }
    QStringList unchanged() const { return unchanged_; }
    QStringList removed() const { return removed_; }
    QString errorString() const { return errorString_; }

private:
    bool fail(const QString& errorString);

    QString libraryFolder_;
    QStringList written_;
    QStringList unchanged_;
    QStringList removed_;
    QString errorString_;
};
