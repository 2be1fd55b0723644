#include "parts/PageRow.h"

#include "artwork/Artwork.h"
#include "platform/widgets/CaptionButton.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/ColourCode.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/HorizontalLine.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/TextPlacement.h"
#include "platform/widgets/Twips.h"

#include <QApplication>
#include <QLabel>

using platform::CaptionButton;
using platform::CaptionLabel;
using platform::PictureBox;
using platform::rectFromTwips;

namespace {

// A button's face with its caption centred on it.
void buildButton(QWidget* row, const QRect& faceBox, const QString& caption, PictureBox*& face,
                 CaptionButton*& label)
{
    face = new PictureBox(row, false);
    face->setGeometry(faceBox);
    face->setAutoSize(true);
    face->setPicture(artwork::releasedButtonFace(qApp->devicePixelRatio()));
    label = new CaptionButton(face);
    label->setCaption(caption);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(rectFromTwips(60, 60, 675, 255));
    // The caption sits low on its face; a ring inside the face would cross
    // it, so the rim itself lights up.
    face->setFocusRing(label, artwork::kButtonFaceRim, artwork::kButtonFaceRimRadius);
}

}  // namespace

PageRow PageRow::build(QWidget* panel, int index)
{
    PageRow row;
    const QPoint inner = panel->contentsRect().topLeft();
    row.frame = new PictureBox(panel, false);
    row.frame->setGeometry(rectFromTwips(0, 780 * index, 8800, 735).translated(inner));
    row.frame->setBackgroundColour(platform::kColourWindowBackground);

    row.icon = new QLabel(row.frame);
    row.icon->setGeometry(rectFromTwips(60, 120, 495, 495));
    row.icon->setScaledContents(true);
    row.icon->setPixmap(artwork::loudspeakerIcon(32, qApp->devicePixelRatio()));

    const QFont bold = platform::songTiBold9();
    row.title = platform::makeLabel(row.frame, QStringLiteral("第十届全国心血管病学术会议"),
                                    rectFromTwips(720, 120, 6255, 195), platform::kColourBlack, false, &bold);
    row.subtitle = platform::makeLabel(row.frame, QStringLiteral("更新日期：20140202"),
                                       rectFromTwips(720, 420, 6255, 195), platform::kColourGrey, false);

    row.separator = new platform::HorizontalLine(0x00808000, row.frame);
    row.separator->setGeometry(rectFromTwips(0, 720, 8820, 15));

    row.percentage = platform::makeLabel(row.frame, QStringLiteral("100%"), rectFromTwips(7440, 240, 360, 180),
                                         platform::kColourBlue, true);

    buildButton(row.frame, rectFromTwips(7080, 180, 750, 315), QStringLiteral("删 除"), row.deleteButtonFace,
                row.deleteButton);
    row.deleteButtonFace->setVisible(false);
    buildButton(row.frame, rectFromTwips(7920, 180, 750, 315), QStringLiteral("播 放"), row.actionButtonFace,
                row.actionButton);
    // Faces are drawn above labels: the delete face covers the percentage
    // while it is shown.
    row.deleteButtonFace->raise();
    row.actionButtonFace->raise();
    row.actionButton->setDescribedBy(row.title);
    row.deleteButton->setDescribedBy(row.title);
    return row;
}
