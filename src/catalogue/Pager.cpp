// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/Pager.h"

#include "catalogue/RowCaptions.h"
#include "parts/PageEntries.h"
#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "parts/ViewBar.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"

Pager::Pager(PageList& pageList, const ViewBar& viewBar, const PageEntries& entries, QObject* parent)
    : QObject(parent),
      pageList_(pageList),
      viewBar_(viewBar),
      entries_(entries)
{
}

void Pager::setUpScrollBar(int entries)
{
    platform::ScrollBar& scrollBar = *pageList_.pageScrollBar;
    if (entries > PageList::kRows) {
        scrollBar.setEnabled(true);
        scrollBar.setMinimum(0);
        scrollBar.setMaximum(entries - PageList::kRows);
        scrollBar.setValue(0);
    } else {
        scrollBar.setEnabled(false);
        scrollBar.setValue(0);
    }
}

void Pager::showCataloguePage()
{
    const int entries = static_cast<int>(entries_.conferenceLines.size());
    setUpScrollBar(entries);
    for (PageRow& row : pageList_.rows)
        row.actionButton->setText(QStringLiteral("进 入"));
    const int first = pageList_.pageScrollBar->position();
    for (int i = 0; i < std::min(PageList::kRows, entries); ++i)
        setRowCaptions(i, conferenceRowCaptions(entries_.conferenceLines.value(first + i)));
    showRows(entries);
}

void Pager::showLecturePage()
{
    const int entries = static_cast<int>(entries_.lectureLines.size());
    setUpScrollBar(entries);
    const int first = pageList_.pageScrollBar->position();
    for (int i = 0; i < std::min(PageList::kRows, entries); ++i)
        setRowCaptions(i, lectureRowCaptions(entries_.lectureLines.value(first + i)));
    showRows(entries);
}

void Pager::showRows(int entries)
{
    const int shown = std::min(entries, PageList::kRows);
    // A row that stays is never hidden on the way, so its button keeps the
    // keyboard focus across a page change. A row button holding the focus in
    // a row that goes hands it to the same button of the last row that
    // stays: a keyboard user stays in the page.
    for (int i = 0; i < shown; ++i)
        pageList_.rows[i].frame->setVisible(true);
    QWidget* focus = pageList_.panel->window()->focusWidget();
    for (int i = shown; i < PageList::kRows; ++i) {
        const PageRow& row = pageList_.rows[i];
        if (shown > 0 && focus == row.actionButton)
            pageList_.rows[shown - 1].actionButton->setFocus(Qt::TabFocusReason);
        else if (shown > 0 && focus == row.deleteButton)
            pageList_.rows[shown - 1].deleteButton->setFocus(Qt::TabFocusReason);
        row.frame->setVisible(false);
    }
}

void Pager::setRowCaptions(int row, const RowCaptions& captions)
{
    if (captions.first)
        pageList_.rows[row].title->setCaption(*captions.first);
    if (captions.second)
        pageList_.rows[row].subtitle->setCaption(*captions.second);
}

void Pager::pageScrolled()
{
    // Captions only: which rows are shown was settled by the fresh page.
    const int first = pageList_.pageScrollBar->position();
    for (int i = 0; i < PageList::kRows; ++i) {
        switch (viewBar_.currentView->value()) {
        case PageView::Lectures:
            setRowCaptions(i, lectureRowCaptions(entries_.lectureLines.value(first + i)));
            break;
        case PageView::Favourites:
            setRowCaptions(i, favouriteRowCaptions(entries_.favouriteNames.value(first + i)));
            break;
        case PageView::Catalogue:
            setRowCaptions(i, conferenceRowCaptions(entries_.conferenceLines.value(first + i)));
            break;
        }
    }
}

void Pager::pageDragged()
{
    pageScrolled();
}
