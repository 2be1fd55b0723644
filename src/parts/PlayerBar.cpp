#include "parts/PlayerBar.h"

#include "platform/media/MediaPlayer.h"
#include "platform/widgets/PictureBox.h"

PlayerBar PlayerBar::build(QWidget* client)
{
    PlayerBar bar;
    bar.frame = new platform::PictureBox(client);
    bar.frame->setGeometry(QRect(148, 466, 610, 65));
    bar.player = new platform::MediaPlayer(bar.frame);
    bar.player->setObjectName(QStringLiteral("player"));
    bar.player->setGeometry(QRect(0, 0, 606, 65).translated(bar.frame->contentsRect().topLeft()));
    return bar;
}
