// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

// What the client would make of a record line other than what its writer
// meant, judged with the client's own field readers. Each rule has a fixed
// kind for scripts and a message in the publisher's language.
struct LineFault {
    QString kind;
    QString message;
};

// A conference line, Title%UpdateDate*Rest, that the client keeps.
QList<LineFault> conferenceLineFaults(const QString& line);

// A lecture line, Title%Detail$Note*DownloadAddress, that the client keeps.
// Title, Detail and Note become the name the lecture is stored under; what
// the client makes of that name (its length, a second lecture with the
// same one) is LectureRecordsCheck's to judge, as it is for check.
QList<LineFault> lectureLineFaults(const QString& line);
