#include "parts/PageRow.h"

#include "artwork/Artwork.h"
#include "platform/widgets/CaptionButton.h"
#include "platform/widgets/CaptionLabel.h"
#include "parts/Colours.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/HorizontalLine.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/TextPlacement.h"

#include <QApplication>
#include <QLabel>

using platform::CaptionButton;
using platform::CaptionLabel;
using platform::PictureBox;

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
    label->setGeometry(QRect(4, 4, 45, 17));
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
    row.frame->setGeometry(QRect(0, 52 * index, 587, 49).translated(inner));
    row.frame->setBackgroundColour(colours::desktopDefault);

    row.icon = new QLabel(row.frame);
    row.icon->setGeometry(QRect(4, 8, 33, 33));
    row.icon->setScaledContents(true);
    row.icon->setPixmap(artwork::loudspeakerIcon(32, qApp->devicePixelRatio()));

    const QFont bold = platform::songTiBold9();
    row.title = platform::makeLabel(row.frame, QStringLiteral("第十届全国心血管病学术会议"),
                                    QRect(48, 8, 417, 13), colours::text, false, &bold);
    row.subtitle = platform::makeLabel(row.frame, QStringLiteral("更新日期：20140202"),
                                       QRect(48, 28, 417, 13), colours::dimmedText, false);

    row.separator = new platform::HorizontalLine(colours::rowSeparator, row.frame);
    row.separator->setGeometry(QRect(0, 48, 588, 1));

    row.percentage = platform::makeLabel(row.frame, QStringLiteral("100%"), QRect(496, 16, 24, 12),
                                         colours::progress, true);

    buildButton(row.frame, QRect(472, 12, 50, 21), QStringLiteral("删 除"), row.deleteButtonFace,
                row.deleteButton);
    row.deleteButtonFace->setVisible(false);
    buildButton(row.frame, QRect(528, 12, 50, 21), QStringLiteral("播 放"), row.actionButtonFace,
                row.actionButton);
    // Faces are drawn above labels: the delete face covers the percentage
    // while it is shown.
    row.deleteButtonFace->raise();
    row.actionButtonFace->raise();
    row.actionButton->setDescribedBy(row.title);
    row.deleteButton->setDescribedBy(row.title);
    return row;
}
