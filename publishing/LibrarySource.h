// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/net/NetworkLimits.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Where a library is read from: a built folder, or its root over HTTP,
// where each text is fetched exactly as the client fetches it (the same
// request, header and limits).
class LibrarySource {
    Q_DECLARE_TR_FUNCTIONS(LibrarySource)

public:
    struct Fetched {
        enum class Outcome {
            Read,
            Missing,  // no such file, or the server answers with an error status
            Failed,  // no answer at all, or more than the client reads
        };
        Outcome outcome = Outcome::Failed;
        QByteArray bytes;
        QString reason;  // for Missing and Failed, in the user's language
    };

    // root: a folder, or an http(s) address ending in "/".
    explicit LibrarySource(const QString& root, const platform::NetworkLimits& limits = {});

    bool overHttp() const { return overHttp_; }
    const QString& root() const { return root_; }
    const platform::NetworkLimits& limits() const { return limits_; }
    // A file of the library by its path below the root ("lists/catalogue.txt").
    Fetched fetch(const QString& path);
    // Where that path is: a file's path in the folder, or an address.
    QString whereIs(const QString& path) const;
    int requestCount() const { return requestCount_; }

private:
    QString root_;
    platform::NetworkLimits limits_;
    bool overHttp_ = false;
    int requestCount_ = 0;
};
