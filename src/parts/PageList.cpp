// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PageList.h"

#include "parts/Colours.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"

PageList PageList::build(QWidget* client)
{
    PageList list;
    list.panel = new platform::PictureBox(client);
    list.panel->setGeometry(QRect(148, 50, 609, 413));
    list.panel->setBackgroundColour(colours::paper);

    // Rows and scroll bar sit inside the panel's border.
    const QPoint inner = list.panel->contentsRect().topLeft();
    list.pageScrollBar = new platform::ScrollBar(list.panel);
    list.pageScrollBar->setGeometry(QRect(588, 0, 17, 409).translated(inner));
    // Tab reaches it, a click does not take the focus from where it is.
    list.pageScrollBar->setFocusPolicy(Qt::TabFocus);
    list.pageScrollBar->setAccessibleName(QStringLiteral("列表位置"));
    for (int i = 0; i < kRows; ++i)
        list.rows[i] = PageRow::build(list.panel, i);
    return list;
}
