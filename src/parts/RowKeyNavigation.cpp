// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/RowKeyNavigation.h"

#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"

#include <QAccessible>
#include <QKeyEvent>

#include <algorithm>

RowKeyNavigation::RowKeyNavigation(PageList& pageList, QObject* parent) : QObject(parent), pageList_(pageList)
{
    for (PageRow& row : pageList_.rows) {
        row.actionButton->installEventFilter(this);
        row.deleteButton->installEventFilter(this);
    }
}

RowKeyNavigation::Place RowKeyNavigation::placeOf(const QObject* button) const
{
    for (int i = 0; i < static_cast<int>(pageList_.rows.size()); ++i) {
        if (pageList_.rows[i].actionButton == button)
            return {i, false};
        if (pageList_.rows[i].deleteButton == button)
            return {i, true};
    }
    return {};
}

RowButton* RowKeyNavigation::buttonAt(Place place) const
{
    const PageRow& row = pageList_.rows[place.row];
    return place.deleteColumn ? row.deleteButton : row.actionButton;
}

int RowKeyNavigation::lastShownRow() const
{
    int last = 0;
    for (int i = 0; i < pageList_.pageRows; ++i) {
        if (pageList_.rows[i].frame->isVisibleTo(pageList_.panel))
            last = i;
    }
    return last;
}

bool RowKeyNavigation::scrollBy(int entries, RowButton* focused)
{
    platform::ScrollBar& scrollBar = *pageList_.pageScrollBar;
    // A list that fits in the page leaves the bar disabled, its range possibly
    // still that of the list shown before.
    if (!scrollBar.isEnabled())
        return false;
    const int wanted = std::clamp(scrollBar.value() + entries, scrollBar.minimum(), scrollBar.maximum());
    if (wanted == scrollBar.value())
        return false;
    scrollBar.setValue(wanted);
    // The focus stays where it is while the row under it changes: tell a
    // screen reader the button now stands for another entry.
    QAccessibleEvent changed(focused, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    return true;
}

void RowKeyNavigation::moveFocus(Place place)
{
    // As Tab would, so the focus mark shows.
    buttonAt(place)->setFocus(Qt::TabFocusReason);
}

bool RowKeyNavigation::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const Place place = placeOf(watched);
    if (place.row < 0)
        return false;
    auto* focused = buttonAt(place);
    const int last = lastShownRow();
    switch (key->key()) {
    case Qt::Key_Up:
        if (place.row > 0)
            moveFocus({place.row - 1, place.deleteColumn});
        else
            scrollBy(-1, focused);
        return true;
    case Qt::Key_Down:
        if (place.row < last)
            moveFocus({place.row + 1, place.deleteColumn});
        else
            scrollBy(1, focused);
        return true;
    case Qt::Key_PageUp:
        if (!scrollBy(-pageList_.pageRows, focused))
            moveFocus({0, place.deleteColumn});
        return true;
    case Qt::Key_PageDown:
        if (!scrollBy(pageList_.pageRows, focused))
            moveFocus({last, place.deleteColumn});
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool towardsDelete = key->key() == Qt::Key_Left;
        const bool deleteShown = pageList_.rows[place.row].deleteButton->isVisibleTo(pageList_.panel);
        if (towardsDelete != place.deleteColumn && deleteShown)
            moveFocus({place.row, towardsDelete});
        return true;
    }
    default:
        return false;
    }
}
