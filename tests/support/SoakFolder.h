// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/ChaosLectures.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <set>

// The favourites folder of a DownloadSoak, looked at as a user relies on
// it: what each lecture's file holds, and what the hidden partial files of
// downloads that broke off are.
class SoakFolder {
public:
    // The bytes a download that broke off left of a lecture, and their record.
    struct Kept {
        qint64 size = 0;
        QByteArray address;
        QByteArray validator;
        qint64 total = 0;
    };

    SoakFolder(QString path, const ChaosLectures& lectures);

    // Where a lecture is stored: "L<n>.讲座.zip".
    QString target(int lecture) const;
    // The lecture stored at target; none for any other file.
    std::optional<int> lectureOf(const QString& target) const;
    // Whether the lecture's file holds exactly that version, or, with
    // none, is not there.
    bool holds(int lecture, std::optional<int> version) const;
    // The lecture's partial file with its record, when there is one.
    std::optional<Kept> kept(int lecture) const;
    // What is wrong with the partial files: a leftover of another kind,
    // one without its record (or a record without its file), more than one
    // for a lecture, and for the lectures looked into, kept bytes that are
    // not the first bytes of the version their record names. Empty when
    // nothing is.
    QStringList partialFileProblems(const std::set<int>& lookedInto) const;

private:
    QString path_;
    const ChaosLectures& lectures_;
};
