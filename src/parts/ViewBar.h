// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "parts/PageView.h"

class QGroupBox;
class QWidget;

namespace platform {
class CaptionLabel;
class OptionButton;
class TextBox;
}  // namespace platform

// The tool bar along the top: the three view options and the search box,
// which is open in the favourites view only. The checked option shows the
// view the page model shows.
struct ViewBar {
    QGroupBox* frame = nullptr;
    platform::OptionButton* catalogueOption = nullptr;  // 返回目录
    platform::OptionButton* lecturesOption = nullptr;  // 远程音频, enabled once a conference is entered
    platform::OptionButton* favouritesOption = nullptr;  // 我的收藏
    platform::CaptionLabel* searchLabel = nullptr;
    platform::TextBox* searchBox = nullptr;

    platform::OptionButton* option(PageView view) const;

    static ViewBar build(QWidget* client);
};
