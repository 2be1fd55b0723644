// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class PageModel;
struct PageList;

// Shows the page model's entries as a page of rows beside the page scroll
// bar, whose position is the entry in row 0: it alone sets that position
// and writes the rows' texts and buttons, from the model. A fresh list
// settles which rows are shown, and scrolling or a change of an entry's
// state only rewrites the rows it touches. The page is as many rows as the
// list panel holds, and follows its height. A row's buttons ask for their
// command on the model entry the row shows.
class Pager : public QObject {
    Q_OBJECT

public:
    Pager(PageList& pageList, PageModel& model, QObject* parent = nullptr);

    // The model entry that row shows; -1 for a row past the list.
    int entryOfRow(int row) const;

    // The scroll bar moved (a click, a key, code, or a drag let go) ...
    void pageScrolled();
    // ... or its thumb is being dragged.
    void pageDragged();

signals:
    // A row's action button (进 入, 下 载 / 取 消, 播 放) or its 删 除 was
    // pressed, on the entry the row shows.
    void actionRequested(int entry);
    void deleteRequested(int entry);

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
};
