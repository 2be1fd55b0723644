// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>

class QWidget;
struct PageList;
struct PlayerBar;
struct SidePanel;
struct ViewBar;

// How the window's parts share its client area. At the designed size each
// part is where it was drawn; a larger window gives the room to the list
// (more rows, wider rows), the view bar and the player bar, and the side
// panel keeps its width. A smaller one takes it from them, down to
// kMinimumClientSize.
namespace clientLayout {

inline constexpr QSize kDesignedClientSize{760, 533};
// The side panel's picture and the phone edition's button one above the
// other, with the QR code given up, need 355 pixels: the list then holds
// four rows, one more than the least a list is usable with. The view bar's
// options and its search box side by side need 660.
inline constexpr QSize kMinimumClientSize{660, 355};

void layOut(QWidget* client, const SidePanel& side, const ViewBar& viewBar, const PageList& pageList,
            const PlayerBar& playerBar);

}  // namespace clientLayout
