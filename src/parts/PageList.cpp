#include "parts/PageList.h"

#include "platform/widgets/ColourCode.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"
#include "platform/widgets/Twips.h"

PageList PageList::build(QWidget* client)
{
    PageList list;
    list.panel = new platform::PictureBox(client);
    list.panel->setGeometry(platform::rectFromTwips(2220, 750, 9135, 6195));
    list.panel->setBackgroundColour(platform::kColourWhite);

    // Rows and scroll bar sit inside the panel's border.
    const QPoint inner = list.panel->contentsRect().topLeft();
    list.pageScrollBar = new platform::ScrollBar(list.panel);
    list.pageScrollBar->setGeometry(platform::rectFromTwips(8820, 0, 255, 6135).translated(inner));
    // Tab reaches it, a click does not take the focus from where it is.
    list.pageScrollBar->setFocusPolicy(Qt::TabFocus);
    list.pageScrollBar->setAccessibleName(QStringLiteral("列表位置"));
    for (int i = 0; i < kRows; ++i)
        list.rows[i] = PageRow::build(list.panel, i);
    return list;
}
