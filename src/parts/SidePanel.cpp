#include "parts/SidePanel.h"

#include "artwork/Artwork.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/ColourCode.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/TextPlacement.h"
#include "platform/widgets/Twips.h"

#include <QApplication>
#include <QPushButton>

using platform::makeLabel;
using platform::rectFromTwips;

SidePanel SidePanel::build(QWidget* client, const QPixmap& phoneEditionAdvert)
{
    SidePanel panel;
    panel.picture = new platform::PictureBox(client);
    panel.picture->setGeometry(rectFromTwips(60, 60, 2115, 4830));
    panel.picture->setBackgroundColour(0x00C0C000);
    panel.picture->setPicture(artwork::sidePanelPicture(qApp->devicePixelRatio()));

    const QFont bold = platform::songTiBold9();
    panel.productName = makeLabel(panel.picture, QStringLiteral("Kardelo"), rectFromTwips(120, 840, 585, 180),
                                  platform::kColourWhite, true, &bold);
    panel.subjectLabel = makeLabel(panel.picture, QStringLiteral("心血管病学讲座"),
                                   rectFromTwips(120, 1200, 1365, 180), platform::kColourWhite, true, &bold);
    panel.phoneEditionNotice = makeLabel(panel.picture, QStringLiteral("安卓手机版同步推出"),
                                         rectFromTwips(120, 1620, 1755, 180), platform::kColourGreen, true, &bold);
    panel.versionLabel = makeLabel(panel.picture, QStringLiteral("版本：2.01"), rectFromTwips(1020, 4380, 900, 180),
                                   platform::kColourWhite, true);

    panel.phoneEditionQrCode = new platform::PictureBox(client);
    panel.phoneEditionQrCode->setGeometry(rectFromTwips(60, 4950, 2115, 2610));
    panel.phoneEditionQrCode->setBackgroundColour(platform::kColourWhite);
    panel.phoneEditionQrCode->setAutoSize(true);
    panel.phoneEditionQrCode->setPicture(phoneEditionAdvert);

    panel.phoneEditionButton = new QPushButton(QStringLiteral("立即下载安卓手机版"), client);
    panel.phoneEditionButton->setGeometry(rectFromTwips(60, 7620, 2115, 315));
    QPalette colours = panel.phoneEditionButton->palette();
    colours.setColor(QPalette::Button, platform::colourFromCode(0x00C0FFFF));
    panel.phoneEditionButton->setPalette(colours);
    panel.phoneEditionButton->setAutoFillBackground(true);
    return panel;
}
