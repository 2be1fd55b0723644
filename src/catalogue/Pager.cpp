#include "catalogue/Pager.h"

#include "catalogue/RowCaptions.h"
#include "parts/PageEntries.h"
#include "parts/PageList.h"
#include "parts/ViewBar.h"
#include "platform/CaptionLabel.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollBar.h"

Pager::Pager(PageList& pageList, const ViewBar& viewBar, const PageEntries& entries, QObject* parent)
    : QObject(parent), pageList_(pageList), viewBar_(viewBar), entries_(entries)
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
    for (PageRow& row : pageList_.rows) {
        row.frame->setVisible(false);
        row.actionButton->setCaption(QStringLiteral("进 入"));
    }
    const int first = pageList_.pageScrollBar->position();
    for (int i = 0; i < std::min(PageList::kRows, entries); ++i) {
        setRowCaptions(i, conferenceRowCaptions(entries_.conferenceLines.value(first + i)));
        pageList_.rows[i].frame->setVisible(true);
    }
}

void Pager::showLecturePage()
{
    const int entries = static_cast<int>(entries_.lectureLines.size());
    setUpScrollBar(entries);
    for (PageRow& row : pageList_.rows)
        row.frame->setVisible(false);
    const int first = pageList_.pageScrollBar->position();
    for (int i = 0; i < std::min(PageList::kRows, entries); ++i) {
        setRowCaptions(i, lectureRowCaptions(entries_.lectureLines.value(first + i)));
        pageList_.rows[i].frame->setVisible(true);
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
        if (viewBar_.lecturesOption->isChecked())
            setRowCaptions(i, lectureRowCaptions(entries_.lectureLines.value(first + i)));
        else if (viewBar_.favouritesOption->isChecked())
            setRowCaptions(i, favouriteRowCaptions(entries_.favouriteNames.value(first + i)));
        else
            setRowCaptions(i, conferenceRowCaptions(entries_.conferenceLines.value(first + i)));
    }
}

void Pager::pageDragged()
{
    pageScrolled();
}
