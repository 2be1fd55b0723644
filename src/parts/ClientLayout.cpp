// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/ClientLayout.h"

#include "parts/PageList.h"
#include "parts/PlayerBar.h"
#include "parts/SidePanel.h"
#include "parts/ViewBar.h"
#include "platform/widgets/AnchorLayout.h"
#include "platform/widgets/PictureBox.h"

#include <QGroupBox>
#include <QPushButton>

namespace clientLayout {

void layOut(QWidget* client, const SidePanel& side, const ViewBar& viewBar, const PageList& pageList,
            const PlayerBar& playerBar)
{
    auto* layout = new platform::AnchorLayout(kDesignedClientSize, client);
    layout->setMinimumSize(kMinimumClientSize);
    layout->anchor(side.picture, Qt::LeftEdge | Qt::TopEdge);
    layout->anchor(side.phoneEditionQrCode, Qt::LeftEdge | Qt::TopEdge);
    // The button stays on screen in a short window, under the picture.
    layout->anchor(side.phoneEditionButton, Qt::LeftEdge | Qt::BottomEdge);
    layout->setShownFrom(side.phoneEditionQrCode, kDesignedClientSize.height());
    layout->anchor(viewBar.frame, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge);
    layout->anchor(pageList.panel, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge);
    layout->anchor(playerBar.frame, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);
}

}  // namespace clientLayout
