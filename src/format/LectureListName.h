// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// What a conference's row shows before its UpdateDate. The lecture list's
// file name is cut from that caption, prefix and all, so it belongs to the
// library's format as much as to the row.
inline const QString kUpdateDatePrefix = QStringLiteral("更新日期：");

// The lecture-list file of a conference, from its row's date caption: the
// last 12 characters of the caption followed by ".zip".
QString lectureListFileName(const QString& dateCaption);

// The lecture-list file a conference line leads to, exactly as the client
// asks for it from the row it shows; nothing when the line has no date.
std::optional<QString> conferenceListFileName(QStringView conferenceLine);
