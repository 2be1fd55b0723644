// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/LectureListName.h"

#include <QString>
#include <QStringView>

#include <optional>

// The two texts a row shows for an entry, with the controls hidden in them
// made visible (withVisibleControls). A caption without a value leaves the
// label's old text standing.
struct RowCaptions {
    std::optional<QString> first;  // the title line
    std::optional<QString> second;  // the date or detail line
};

// Conference: Title / "更新日期：" UpdateDate.
RowCaptions conferenceRowCaptions(QStringView line);
// Lecture: Title " - " Note / Detail.
RowCaptions lectureRowCaptions(QStringView line);
// Stored lecture file: Title " - " (from the first "$" to the first ".") / Detail.
RowCaptions favouriteRowCaptions(QStringView fileName);
