// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class PageModel;
struct PageEntries;
struct PageList;

// Shows the page model's entries as a page of rows beside the page scroll
// bar, whose position is the index of the entry in row 0. The page is as
// many rows as the list panel holds, and follows its height. It alone
// writes the rows' texts and buttons, from the model: a fresh list settles
// which rows are shown, and scrolling or a change of an entry's state only
// rewrites the rows it touches.
class Pager : public QObject {
    Q_OBJECT

public:
    Pager(PageList& pageList, PageModel& model, const PageEntries& entries, QObject* parent = nullptr);

    // A fresh page of the conferences, from the first one.
    void showCataloguePage();
    // A fresh page of the lectures of the conference last entered.
    void showLecturePage();
    // A fresh page of these stored lectures' names.
    void showFavouritesPage(const QStringList& names);

    // The scroll bar moved (a click, a key, code, or a drag let go) ...
    void pageScrolled();
    // ... or its thumb is being dragged.
    void pageDragged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void modelReset();
    // The panel holds another number of rows: the entry in row 0 stays, and
    // so does the one whose button has the keyboard's focus.
    void panelResized();
    void entriesChanged(int first, int last);
    // Opens the scroll bar past one page of entries, at the entry top
    // (kept within the range).
    void setUpScrollBar(int entries, int top = 0);
    // Shows the first `entries` rows (the whole page when there are more)
    // and hides the rest.
    void showRows(int entries);
    void drawRow(int row);

    PageList& pageList_;
    PageModel& model_;
    const PageEntries& entries_;
};
