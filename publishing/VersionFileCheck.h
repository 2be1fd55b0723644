// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LibraryFinding.h"
#include "publishing/LibraryText.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// The version file as the client reads it at start: the published version
// before the first "[QorVersion]", read by its leading number and compared
// with the client's own release stamp.
//
// No marker ends every client at start (an error). A version that reads as
// no number is never newer, so no client is ever told of a release (an
// error). One older than this release's stamp is what a publisher who has
// not caught up yet publishes: it hurts no one today, but users of the
// releases in between are not offered this one (a warning). Newer or equal
// is what a library should publish.
class VersionFileCheck {
    Q_DECLARE_TR_FUNCTIONS(VersionFileCheck)

public:
    explicit VersionFileCheck(const QString& location) : location_(location) { }

    void run(const LibraryText& text, QList<LibraryFinding>& findings) const;

private:
    QString location_;
};
