// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class RowButton;
struct PageList;

// The arrow and page keys on the page's row buttons. Up and Down move the
// focus to the same button of the row above or below, and past the first
// or last row shown they scroll the page by one entry instead; Page Up and
// Page Down scroll by a page of eight. Left and Right move between a row's
// delete and action buttons where both are shown. Scrolling goes through
// the page scroll bar, so the page follows as it would for the mouse.
class RowKeyNavigation : public QObject {
    Q_OBJECT

public:
    RowKeyNavigation(PageList& pageList, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Place {
        int row = -1;
        bool deleteColumn = false;
    };

    Place placeOf(const QObject* button) const;
    RowButton* buttonAt(Place place) const;
    int lastShownRow() const;
    // False when the page cannot move that way.
    bool scrollBy(int entries, RowButton* focused);
    void moveFocus(Place place);

    PageList& pageList_;
};
