// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/ListeningMarks.h"

#include "parts/PageEntries.h"
#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "parts/ViewBar.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/ScrollBar.h"
#include "playback/ListeningMemory.h"

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

ListeningMarks::ListeningMarks(PageList& pageList, const ViewBar& viewBar, const PageEntries& entries,
                               const ListeningMemory& memory, QObject* parent)
    : QObject(parent),
      pageList_(pageList),
      viewBar_(viewBar),
      entries_(entries),
      memory_(memory),
      percentagePlace_(pageList.rows[0].percentage->geometry()),
      detailPlace_(pageList.rows[0].subtitle->geometry())
{
    connect(viewBar_.currentView, &CurrentView::changed, this, &ListeningMarks::placeLabels);
    connect(&memory_, &ListeningMemory::placeChanged, this, &ListeningMarks::refresh);
    connect(pageList_.pageScrollBar, &platform::ScrollBar::changed, this, &ListeningMarks::refresh);
    connect(pageList_.pageScrollBar, &platform::ScrollBar::dragged, this, &ListeningMarks::refresh);
    placeLabels(viewBar_.currentView->value());
}

QString ListeningMarks::caption(const std::optional<ListeningPlace>& place)
{
    if (!place)
        return {};
    if (place->listened)
        return QStringLiteral("已听完");
    return QStringLiteral("听到 ") + heardTime(place->position);
}

void ListeningMarks::refresh()
{
    if (viewBar_.currentView->value() != PageView::Favourites)
        return;
    const int first = pageList_.pageScrollBar->position();
    for (int i = 0; i < PageList::kRows; ++i) {
        const QString name = entries_.favouriteNames.value(first + i);
        pageList_.rows[i].percentage->setCaption(name.isEmpty() ? QString() : caption(memory_.placeOf(name)));
    }
}

void ListeningMarks::placeLabels(PageView view)
{
    const bool favourites = view == PageView::Favourites;
    const int deleteLeft = pageList_.rows[0].deleteButton->x();
    const QRect mark(deleteLeft - kGap - kMarkWidth, detailPlace_.y(), kMarkWidth, detailPlace_.height());
    for (PageRow& row : pageList_.rows) {
        row.percentage->setAutoSize(false);
        row.percentage->setGeometry(favourites ? mark : percentagePlace_);
        row.percentage->setAlignment(Qt::AlignVCenter | (favourites ? Qt::AlignRight : Qt::AlignLeft));
        row.percentage->setAutoSize(!favourites);
        QRect detail = detailPlace_;
        if (favourites)
            detail.setRight(mark.left() - kGap);
        row.subtitle->setGeometry(detail);
    }
}
