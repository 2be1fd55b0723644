// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>

class QLabel;
class QWidget;
class RowButton;

namespace platform {
class AnchorLayout;
class CaptionLabel;
class HorizontalLine;
class PictureBox;
}  // namespace platform

// One row of the page: an entry's icon, its two lines of text and a
// separator, and on the right the download percentage and two buttons,
// which a screen reader announces with the row's title. A wider row gives
// the texts the room; the right-hand side keeps to the right edge.
struct PageRow {
    // Its size as drawn, in a window of the designed size.
    static constexpr QSize kDesignedSize{587, 49};
    // From the top of one row to the top of the next.
    static constexpr int kPitch = 52;

    // The row itself, hidden while no entry stands in it.
    platform::PictureBox* frame = nullptr;
    QLabel* icon = nullptr;
    platform::CaptionLabel* title = nullptr;
    platform::CaptionLabel* subtitle = nullptr;
    platform::HorizontalLine* separator = nullptr;
    // A PercentageLabel: a screen reader hears a percentage in it as a
    // progress bar.
    platform::CaptionLabel* percentage = nullptr;
    // 进 入, 下 载 / 取 消 or 播 放, after the view.
    RowButton* actionButton = nullptr;
    // 删 除, shown in the favourites only.
    RowButton* deleteButton = nullptr;
    // Keeps the designed places; the views rearrange the texts through it.
    platform::AnchorLayout* layout = nullptr;

    // Row `index` of the page, inside the list panel.
    static PageRow build(QWidget* panel, int index);
};
