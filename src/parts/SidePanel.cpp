// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/SidePanel.h"

#include "KardeloVersion.h"
#include "artwork/Artwork.h"
#include "parts/Colours.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/TextPlacement.h"

#include <QApplication>
#include <QPushButton>

using platform::makeLabel;

SidePanel SidePanel::build(QWidget* client, const QPixmap& phoneEditionAdvert)
{
    SidePanel panel;
    panel.picture = new platform::PictureBox(client);
    panel.picture->setGeometry(QRect(4, 4, 141, 322));
    panel.picture->setBackgroundColour(colours::sidePanel);
    panel.picture->setPicture(artwork::sidePanelPicture(qApp->devicePixelRatio()));

    const QFont bold = platform::songTiBold9();
    panel.productName =
        makeLabel(panel.picture, QStringLiteral("Kardelo"), QRect(8, 56, 39, 12), colours::sidePanelText, true, &bold);
    panel.subjectLabel = makeLabel(panel.picture, QStringLiteral("心血管病学讲座"), QRect(8, 80, 91, 12),
                                   colours::sidePanelText, true, &bold);
    panel.phoneEditionNotice = makeLabel(panel.picture, QStringLiteral("安卓手机版同步推出"), QRect(8, 108, 117, 12),
                                         colours::sidePanelHighlight, true, &bold);
    panel.versionLabel = makeLabel(panel.picture, QStringLiteral("版本：") + kDisplayVersion, QRect(68, 292, 60, 12),
                                   colours::sidePanelText, true);

    panel.phoneEditionQrCode = new platform::PictureBox(client);
    panel.phoneEditionQrCode->setGeometry(QRect(4, 330, 141, 174));
    panel.phoneEditionQrCode->setBackgroundColour(colours::paper);
    panel.phoneEditionQrCode->setAutoSize(true);
    panel.phoneEditionQrCode->setPicture(phoneEditionAdvert);

    panel.phoneEditionButton = new QPushButton(QStringLiteral("立即下载安卓手机版"), client);
    panel.phoneEditionButton->setGeometry(QRect(4, 508, 141, 21));
    QPalette colours = panel.phoneEditionButton->palette();
    colours.setColor(QPalette::Button, colours::phoneEditionButton);
    panel.phoneEditionButton->setPalette(colours);
    panel.phoneEditionButton->setAutoFillBackground(true);
    return panel;
}
