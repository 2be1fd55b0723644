// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PlayerBar.h"

#include "parts/TransportBar.h"
#include "platform/host/MonotonicTick.h"
#include "platform/widgets/AnchorLayout.h"
#include "platform/widgets/PictureBox.h"
#include "playback/Playback.h"
#include "playback/SleepTimer.h"

#include <QAction>
#include <QMenu>

PlayerBar PlayerBar::build(QWidget* client, Playback& playback)
{
    PlayerBar bar;
    bar.frame = new platform::PictureBox(client);
    bar.frame->setGeometry(QRect(148, 466, 610, 65));
    // Its deadline counts the time the machine sleeps.
    bar.sleepTimer = new SleepTimer(playback, platform::bootTimeMilliseconds, &playback);
    bar.transportBar = new TransportBar(playback, *bar.sleepTimer, bar.frame);
    bar.transportBar->setObjectName(QStringLiteral("player"));
    bar.transportBar->setGeometry(QRect(0, 0, 606, 65).translated(bar.frame->contentsRect().topLeft()));
    auto* layout = new platform::AnchorLayout(bar.frame->size(), bar.frame);
    layout->anchor(bar.transportBar, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge);
    QMenu* menu = bar.transportBar->contextMenu();
    menu->addSeparator();
    bar.continuousPlay = menu->addAction(QStringLiteral("连续播放"));
    bar.continuousPlay->setCheckable(true);
    return bar;
}
