// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/KeptText.h"
#include "platform/files/FileThread.h"

#include <QString>

#include <functional>
#include <optional>

// The library's texts as they were last read (the catalogue, each lecture
// list), kept in the user's cache folder, one folder for each library
// address: with them the library is browsed without a network, and each is
// asked for again only if it changed. A cache is the place: deleting it
// loses nothing that the server cannot give again. The files are read and
// written on a thread of their own, so the window never waits for the disk;
// a copy cut short, damaged or read from another address is never used (the
// reason goes to the "kardelo.library" log).
class KeptLibrary {
public:
    // The catalogue's copy; a list's is its own file name ("<date>.zip").
    static inline const QString kCatalogueName = QStringLiteral("catalogue");

    // The folder, below `cacheFolder`, of the library whose catalogue is at
    // `catalogueAddress`.
    static QString folderFor(const QString& cacheFolder, const QString& catalogueAddress);

    explicit KeptLibrary(QString folder);
    // Waits for the last copies to be written: only once the event loop has
    // ended.
    ~KeptLibrary();

    QString folder() const { return folder_; }

    // The copy of the text `name`, read from `address`; nothing when none
    // is kept or it cannot be used. `done` is called later, from the event
    // loop, and not at all once this object is gone.
    void read(const QString& name, const QString& address, std::function<void(std::optional<KeptText>)> done);
    // Keeps `text` as the copy of `name`, replacing the one kept.
    void keep(const QString& name, const KeptText& text);

private:
    QString pathOf(const QString& name) const;

    QString folder_;
    platform::FileThread files_;
};
