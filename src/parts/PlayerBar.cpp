#include "parts/PlayerBar.h"

#include "parts/TransportBar.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/Twips.h"

PlayerBar PlayerBar::build(QWidget* client, Playback& playback)
{
    PlayerBar bar;
    bar.frame = new platform::PictureBox(client);
    bar.frame->setGeometry(platform::rectFromTwips(2220, 6990, 9150, 975));
    bar.transportBar = new TransportBar(playback, bar.frame);
    bar.transportBar->setObjectName(QStringLiteral("player"));
    bar.transportBar->setGeometry(
        platform::rectFromTwips(0, 0, 9090, 975).translated(bar.frame->contentsRect().topLeft()));
    return bar;
}
