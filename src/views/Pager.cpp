// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/Pager.h"

#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"
#include "views/PageModel.h"

#include <QEvent>

#include <algorithm>

Pager::Pager(PageList& pageList, PageModel& model, QObject* parent)
    : QObject(parent),
      pageList_(pageList),
      model_(model)
{
    connect(&model_, &PageModel::modelReset, this, &Pager::modelReset);
    connect(&model_, &PageModel::dataChanged, this, [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
        entriesChanged(topLeft.row(), bottomRight.row());
    });
    pageList_.pageRows = pageList_.rowsThatFit();
    pageList_.panel->installEventFilter(this);
    connect(pageList_.pageScrollBar, &platform::ScrollBar::changed, this, &Pager::pageScrolled);
    connect(pageList_.pageScrollBar, &platform::ScrollBar::dragged, this, &Pager::pageDragged);
    for (int i = 0; i < static_cast<int>(pageList_.rows.size()); ++i) {
        const PageRow& row = pageList_.rows[i];
        connect(row.actionButton, &RowButton::clicked, this, [this, i] {
            if (const int entry = entryOfRow(i); entry >= 0)
                emit actionRequested(entry);
        });
        connect(row.deleteButton, &RowButton::clicked, this, [this, i] {
            if (const int entry = entryOfRow(i); entry >= 0)
                emit deleteRequested(entry);
        });
    }
}

int Pager::entryOfRow(int row) const
{
    const int entry = pageList_.pageScrollBar->position() + row;
    return row >= 0 && row < pageList_.pageRows && entry < model_.rowCount() ? entry : -1;
}

bool Pager::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pageList_.panel && event->type() == QEvent::Resize)
        panelResized();
    return false;
}

void Pager::panelResized()
{
    const int fit = pageList_.rowsThatFit();
    const int was = std::exchange(pageList_.pageRows, fit);
    if (fit == was)
        return;
    const int entries = model_.rowCount();
    int top = pageList_.pageScrollBar->position();
    // The row the keyboard is on stays in the page, with its entry.
    QWidget* focus = pageList_.panel->window()->focusWidget();
    for (int row = fit; row < was; ++row) {
        const PageRow& gone = pageList_.rows[row];
        if (focus != gone.actionButton && focus != gone.deleteButton)
            continue;
        top += row - fit + 1;
        const PageRow& stays = pageList_.rows[fit - 1];
        (focus == gone.actionButton ? stays.actionButton : stays.deleteButton)->setFocus(Qt::TabFocusReason);
    }
    setUpScrollBar(entries, top);
    for (int i = 0; i < fit; ++i)
        drawRow(i);
    showRows(entries);
}

void Pager::setUpScrollBar(int entries, int top)
{
    platform::ScrollBar& scrollBar = *pageList_.pageScrollBar;
    const int lastTop = std::max(entries - pageList_.pageRows, 0);
    scrollBar.setEnabled(lastTop > 0);
    scrollBar.setMinimum(0);
    scrollBar.setMaximum(lastTop);
    scrollBar.setValue(std::clamp(top, 0, lastTop));
}

void Pager::modelReset()
{
    const int entries = model_.rowCount();
    setUpScrollBar(entries);
    // Rows past the page too, so that none keeps a text of the list before.
    for (int i = 0; i < static_cast<int>(pageList_.rows.size()); ++i)
        drawRow(i);
    showRows(entries);
}

void Pager::showRows(int entries)
{
    const int shown = std::min(entries, pageList_.pageRows);
    // A row that stays is never hidden on the way, so its button keeps the
    // keyboard focus across a page change. A row button holding the focus in
    // a row that goes hands it to the same button of the last row that
    // stays: a keyboard user stays in the page.
    for (int i = 0; i < shown; ++i)
        pageList_.rows[i].frame->setVisible(true);
    QWidget* focus = pageList_.panel->window()->focusWidget();
    for (int i = shown; i < static_cast<int>(pageList_.rows.size()); ++i) {
        const PageRow& row = pageList_.rows[i];
        if (shown > 0 && focus == row.actionButton)
            pageList_.rows[shown - 1].actionButton->setFocus(Qt::TabFocusReason);
        else if (shown > 0 && focus == row.deleteButton)
            pageList_.rows[shown - 1].deleteButton->setFocus(Qt::TabFocusReason);
        row.frame->setVisible(false);
    }
}

void Pager::drawRow(int row)
{
    const int entry = pageList_.pageScrollBar->position() + row;
    PageRow& pageRow = pageList_.rows[row];
    // A row past the list is hidden, and blank: the model speaks of an
    // empty entry there.
    pageRow.title->setCaption(model_.entryData(entry, PageModel::CaptionRole).toString());
    pageRow.subtitle->setCaption(model_.entryData(entry, PageModel::DetailRole).toString());
    pageRow.percentage->setCaption(model_.entryData(entry, PageModel::StatusTextRole).toString());
    pageRow.actionButton->setText(model_.entryData(entry, PageModel::ActionRole).toString());
    pageRow.actionButton->setEnabled(model_.entryData(entry, PageModel::ActionEnabledRole).toBool());
}

void Pager::entriesChanged(int first, int last)
{
    const int top = pageList_.pageScrollBar->position();
    for (int row = std::max(first - top, 0); row <= std::min(last - top, pageList_.pageRows - 1); ++row)
        drawRow(row);
}

void Pager::pageScrolled()
{
    // Which rows are shown was settled by the fresh page.
    for (int i = 0; i < pageList_.pageRows; ++i)
        drawRow(i);
}

void Pager::pageDragged()
{
    pageScrolled();
}
