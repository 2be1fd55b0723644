#include "parts/PlayerBar.h"

#include "platform/media/MediaPlayer.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/Twips.h"

PlayerBar PlayerBar::build(QWidget* client)
{
    PlayerBar bar;
    bar.frame = new platform::PictureBox(client);
    bar.frame->setGeometry(platform::rectFromTwips(2220, 6990, 9150, 975));
    bar.player = new platform::MediaPlayer(bar.frame);
    bar.player->setObjectName(QStringLiteral("player"));
    bar.player->setGeometry(platform::rectFromTwips(0, 0, 9090, 975).translated(bar.frame->contentsRect().topLeft()));
    return bar;
}
