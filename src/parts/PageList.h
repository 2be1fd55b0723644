// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "parts/PageRow.h"

#include <array>

class QWidget;

namespace platform {
class PictureBox;
class ScrollBar;
}  // namespace platform

// The list panel: a page of eight rows and the scroll bar beside them.
// The scroll bar's position is the index of the entry shown in row 0.
struct PageList {
    static constexpr int kRows = 8;

    platform::PictureBox* panel = nullptr;
    platform::ScrollBar* pageScrollBar = nullptr;
    std::array<PageRow, kRows> rows{};

    static PageList build(QWidget* client);
};
