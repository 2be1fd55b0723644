// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PageRow.h"

#include "artwork/Artwork.h"
#include "parts/Colours.h"
#include "parts/PercentageLabel.h"
#include "parts/RowButton.h"
#include "platform/widgets/AnchorLayout.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/HorizontalLine.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/TextPlacement.h"

#include <QApplication>
#include <QLabel>

using platform::PictureBox;

namespace {

RowButton* buildButton(PageRow& row, const QPoint& at, const QString& caption)
{
    auto* button = new RowButton(row.frame);
    button->move(at);
    button->setText(caption);
    // A screen reader tells which entry the button acts on, and what its
    // percentage says: the download's progress, or how far the lecture
    // has been heard.
    button->setDescribedBy(row.title, row.percentage);
    return button;
}

}  // namespace

PageRow PageRow::build(QWidget* panel, int index)
{
    PageRow row;
    const QPoint inner = panel->contentsRect().topLeft();
    row.frame = new PictureBox(panel, false);
    row.frame->setGeometry(QRect(QPoint(0, kPitch * index), kDesignedSize).translated(inner));
    row.frame->setBackgroundColour(colours::desktopDefault);

    row.icon = new QLabel(row.frame);
    row.icon->setGeometry(QRect(4, 8, 33, 33));
    row.icon->setScaledContents(true);
    row.icon->setPixmap(artwork::loudspeakerIcon(32, qApp->devicePixelRatio()));

    const QFont bold = platform::songTiBold9();
    row.title = platform::makeLabel(row.frame, QStringLiteral("第十届全国心血管病学术会议"), QRect(48, 8, 417, 13),
                                    colours::text, false, &bold);
    row.subtitle = platform::makeLabel(row.frame, QStringLiteral("更新日期：20140202"), QRect(48, 28, 417, 13),
                                       colours::dimmedText, false);

    row.separator = new platform::HorizontalLine(colours::rowSeparator, row.frame);
    row.separator->setGeometry(QRect(0, 48, 588, 1));

    // Made as makeLabel makes a label, as the percentage label it is.
    auto* percentage = new PercentageLabel(row.frame);
    percentage->setTextColour(colours::progress);
    percentage->setCaption(QStringLiteral("100%"));
    platform::placeText(percentage, QRect(496, 16, 24, 12));
    percentage->setAutoSize(true);
    percentage->setDescribedBy(row.title);
    row.percentage = percentage;

    row.deleteButton = buildButton(row, QPoint(472, 12), QStringLiteral("删 除"));
    row.deleteButton->setDescribedBy(row.title);
    row.deleteButton->setVisible(false);
    row.actionButton = buildButton(row, QPoint(528, 12), QStringLiteral("播 放"));
    // Buttons are drawn above labels: the delete button covers the
    // percentage while it is shown.
    row.deleteButton->raise();
    row.actionButton->raise();

    for (platform::CaptionLabel* text : {row.title, row.subtitle})
        text->setElided(true);
    row.layout = new platform::AnchorLayout(kDesignedSize, row.frame);
    row.layout->anchor(row.icon, Qt::LeftEdge | Qt::TopEdge);
    for (QWidget* stretched : std::initializer_list<QWidget*>{row.title, row.subtitle, row.separator})
        row.layout->anchor(stretched, Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge);
    for (QWidget* right : std::initializer_list<QWidget*>{row.percentage, row.deleteButton, row.actionButton})
        row.layout->anchor(right, Qt::RightEdge | Qt::TopEdge);
    return row;
}
