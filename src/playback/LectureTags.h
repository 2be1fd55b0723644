// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// What a lecture is, as the desktop's player controls show it: its title,
// its detail (the speakers) and its note. Kept beside the playing file,
// whose name is a temporary one while it plays.
struct LectureTags {
    QString title;
    QString detail;
    QString note;

    bool operator==(const LectureTags&) const = default;
};
