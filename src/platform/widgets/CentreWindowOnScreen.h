// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

namespace platform {

// Moves the window so that its outer frame, title bar and borders included,
// is centred on the screen it opens on. A window not yet shown is centred again when it
// first appears, once a window manager has given it its frame. No screen,
// no move.
void centreWindowOnScreen(QWidget& window);

}  // namespace platform
