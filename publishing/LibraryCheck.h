// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// What checking a library found.
struct CheckReport {
    // Empty when the library could be read at all; else why not (a missing
    // folder, an unreachable root), naming it.
    QString cannotCheck;
    QList<LibraryFinding> findings;
    int requests = 0;  // HTTP requests made
    double seconds = 0;

    int errorCount() const;
    int warningCount() const;
    bool fit() const { return cannotCheck.isEmpty() && errorCount() == 0; }
};

// Reads a library, from a folder or over HTTP from its root, the way the
// client will: the version file, the catalogue, each conference's lecture
// list under the name the client asks for, the library index (held against
// the catalogue and the lists), and the head of each lecture's audio.
class LibraryCheck {
    Q_DECLARE_TR_FUNCTIONS(LibraryCheck)

public:
    struct Options {
        // A folder, or an http(s) address ending in "/".
        QString library;
        // For a folder: the address it will be served at, so that audio
        // addresses below it can be looked for in it.
        QString servedAt;
        int parallelRequests = 4;
    };

    explicit LibraryCheck(const Options& options) : options_(options) { }
    CheckReport run() const;

private:
    Options options_;
};
