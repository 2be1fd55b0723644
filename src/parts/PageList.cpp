// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PageList.h"

#include "parts/Colours.h"
#include "platform/widgets/AnchorLayout.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// A row counts as shown when no more than its bottom edge is cut off: at
// the designed size the eighth row loses its last four pixels to the
// panel's border, as it always has.
constexpr int kRowShownHeight = PageRow::kDesignedSize.height() - 4;

int rowsFor(int height)
{
    return height < kRowShownHeight ? 0 : (height - kRowShownHeight) / PageRow::kPitch + 1;
}

int rowsForTallestScreen()
{
    int tallest = 0;
    for (const QScreen* screen : QGuiApplication::screens())
        tallest = std::max(tallest, screen->availableGeometry().height());
    return std::max(PageList::kDesignedRows, rowsFor(tallest));
}

}  // namespace

int PageList::rowsThatFit() const
{
    return std::clamp(rowsFor(panel->contentsRect().height()), 1, static_cast<int>(rows.size()));
}

PageList PageList::build(QWidget* client)
{
    PageList list;
    list.panel = new platform::PictureBox(client);
    list.panel->setGeometry(QRect(QPoint(148, 50), kDesignedSize));
    list.panel->setBackgroundColour(colours::paper);
    auto* layout = new platform::AnchorLayout(kDesignedSize, list.panel);

    // Rows and scroll bar sit inside the panel's border.
    const QPoint inner = list.panel->contentsRect().topLeft();
    list.pageScrollBar = new platform::ScrollBar(list.panel);
    list.pageScrollBar->setGeometry(QRect(588, 0, 17, 409).translated(inner));
    // Tab reaches it, a click does not take the focus from where it is.
    list.pageScrollBar->setFocusPolicy(Qt::TabFocus);
    list.pageScrollBar->setAccessibleName(QStringLiteral("列表位置"));
    layout->anchor(list.pageScrollBar, Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge);

    const int rows = rowsForTallestScreen();
    list.rows.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        list.rows.push_back(PageRow::build(list.panel, i));
        layout->anchor(list.rows.back().frame, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge);
        // Past the page until the panel grows.
        if (i >= kDesignedRows)
            list.rows.back().frame->setVisible(false);
    }
    return list;
}
