// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/ChaosLectures.h"

#include <QString>
#include <QStringList>

#include <optional>

// The favourites folder of a DownloadSoak, looked at as a user relies on
// it: what each lecture's file holds, and what the hidden partial files of
// downloads that broke off are.
class SoakFolder {
public:
    SoakFolder(QString path, const ChaosLectures& lectures);

    // Where a lecture is stored: "L<n>.讲座.zip".
    QString target(int lecture) const;
    // Whether the lecture's file holds exactly that version, or, with
    // none, is not there.
    bool holds(int lecture, std::optional<int> version) const;
    // What is wrong with the partial files: a leftover of another kind,
    // one without its record (or a record without its file), more than one
    // for a lecture, and for the lecture just pressed, kept bytes that are
    // not the first bytes of the version their record names. Empty when
    // nothing is.
    QStringList partialFileProblems(std::optional<int> pressedLecture) const;

private:
    QString path_;
    const ChaosLectures& lectures_;
};
