// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "parts/PageRow.h"

#include <QSize>

#include <vector>

class QWidget;

namespace platform {
class PictureBox;
class ScrollBar;
}  // namespace platform

// The list panel: a page of rows and the scroll bar beside them. The page
// is as many rows as the panel's height holds: eight at the window's
// designed size. The scroll bar's position is the index of the entry shown
// in row 0.
struct PageList {
    static constexpr int kDesignedRows = 8;
    static constexpr QSize kDesignedSize{609, 413};

    platform::PictureBox* panel = nullptr;
    platform::ScrollBar* pageScrollBar = nullptr;
    // As many as the tallest screen can show, made once: the first
    // pageRows of them make the page, the others stay hidden.
    std::vector<PageRow> rows;
    // Set by the page's view, from rowsThatFit().
    int pageRows = kDesignedRows;

    // How many rows the panel holds at its present height: at least one,
    // at most those made.
    int rowsThatFit() const;

    static PageList build(QWidget* client);
};
