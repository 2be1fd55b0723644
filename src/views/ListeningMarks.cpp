// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/ListeningMarks.h"

#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "platform/widgets/AnchorLayout.h"
#include "platform/widgets/CaptionLabel.h"
#include "playback/ListeningMemory.h"
#include "views/PageModel.h"

namespace {

// Wide enough for "听到 10:00:00"; its right edge stops short of the
// delete button.
constexpr int kMarkWidth = 104;
constexpr int kGap = 4;

QString heardTime(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    if (seconds < 3600)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ListeningMarks::ListeningMarks(PageList& pageList, PageModel& model, const ListeningMemory& memory, QObject* parent)
    : QObject(parent),
      pageList_(pageList),
      percentagePlace_(pageList.rows[0].layout->designedGeometry(pageList.rows[0].percentage)),
      detailPlace_(pageList.rows[0].layout->designedGeometry(pageList.rows[0].subtitle))
{
    model.setListeningSource([&memory](const QString& storedName) { return caption(memory.placeOf(storedName)); });
    connect(&memory, &ListeningMemory::placeChanged, &model, &PageModel::listeningChanged);
    connect(&model, &PageModel::viewChanged, this, &ListeningMarks::placeLabels);
    placeLabels(model.view());
}

QString ListeningMarks::caption(const std::optional<ListeningPlace>& place)
{
    if (!place)
        return {};
    if (place->listened)
        return QStringLiteral("已听完");
    return QStringLiteral("听到 ") + heardTime(place->position);
}

void ListeningMarks::placeLabels(PageView view)
{
    // Placed as at the designed size: the row's layout moves them with its
    // right edge.
    const bool favourites = view == PageView::Favourites;
    const platform::AnchorLayout& designed = *pageList_.rows[0].layout;
    const int deleteLeft = designed.designedGeometry(pageList_.rows[0].deleteButton).x();
    const QRect mark(deleteLeft - kGap - kMarkWidth, detailPlace_.y(), kMarkWidth, detailPlace_.height());
    // Elsewhere it ends left of the action button and grows to the left,
    // from "100%" to "等待下载".
    const int statusWidth =
        std::max(percentagePlace_.width(),
                 pageList_.rows[0].percentage->fontMetrics().horizontalAdvance(PageModel::kWaitingCaption) + kGap);
    const int actionLeft = designed.designedGeometry(pageList_.rows[0].actionButton).x();
    const QRect status(actionLeft - kGap - statusWidth, percentagePlace_.y(), statusWidth, percentagePlace_.height());
    for (PageRow& row : pageList_.rows) {
        row.percentage->setAutoSize(false);
        row.layout->setDesignedGeometry(row.percentage, favourites ? mark : status);
        row.percentage->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
        QRect detail = detailPlace_;
        if (favourites)
            detail.setRight(mark.left() - kGap);
        row.layout->setDesignedGeometry(row.subtitle, detail);
    }
}
