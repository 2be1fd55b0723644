// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/ListeningRecord.h"
#include "parts/PageView.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <array>
#include <optional>

class ListeningMemory;
class PageModel;
struct PageList;

// In the favourites, each row's percentage label says how far its lecture
// has been heard: "已听完", "听到 12:34", or nothing for one never played.
// The page model has the marks from here, from the listening memory. There
// the label sits on the detail line, left of the delete button that covers
// its place in the other views, and the detail line gives way to it.
class ListeningMarks : public QObject {
    Q_OBJECT

public:
    ListeningMarks(PageList& pageList, PageModel& model, const ListeningMemory& memory, QObject* parent = nullptr);

    // What a row shows for a lecture left at `place`.
    static QString caption(const std::optional<ListeningPlace>& place);

private:
    void placeLabels(PageView view);

    PageList& pageList_;
    // Where the percentage and the detail line sit in the other views.
    QRect percentagePlace_;
    QRect detailPlace_;
};
