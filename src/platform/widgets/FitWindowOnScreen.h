// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

namespace platform {

// Moves the window so that its outer frame, title bar and borders included,
// is centred on the screen it opens on, and keeps that frame inside the
// screen's available area (clear of panels and docks): a window too large
// for it is made smaller, as far as its minimum size allows, rather than
// pushed off the screen. A window not yet shown is fitted again when it
// first appears, once a window manager has given it its frame. No screen,
// no move.
void fitWindowOnScreen(QWidget& window);

}  // namespace platform
