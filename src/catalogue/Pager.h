// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

struct PageEntries;
struct PageList;
struct RowCaptions;
struct ViewBar;

// Shows a list of entries as a page of PageList::kRows rows beside the page
// scroll bar, whose position is the index of the entry in row 0. A fresh
// page settles which rows are shown; scrolling only changes their texts.
class Pager : public QObject {
    Q_OBJECT

public:
    Pager(PageList& pageList, const ViewBar& viewBar, const PageEntries& entries, QObject* parent = nullptr);

    // A fresh page of the conferences, from the first one.
    void showCataloguePage();
    // A fresh page of the lectures of the conference last entered.
    void showLecturePage();
    // Sets the row's two texts; a caption without a value keeps the old text.
    void setRowCaptions(int row, const RowCaptions& captions);
    // Shows the first `entries` rows (all eight when there are more) and
    // hides the rest.
    void showRows(int entries);

    // The scroll bar moved (a click, a key, code, or a drag let go) ...
    void pageScrolled();
    // ... or its thumb is being dragged.
    void pageDragged();

private:
    // Opens the scroll bar past one page of entries, at the first entry.
    void setUpScrollBar(int entries);

    PageList& pageList_;
    const ViewBar& viewBar_;
    const PageEntries& entries_;
};
