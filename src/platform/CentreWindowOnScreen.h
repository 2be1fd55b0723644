#pragma once

class QWidget;

namespace platform {

// Moves the window so that its outer frame, borders included, is centred on
// the screen, computed in twips, the unit the layout is measured in. No
// screen, no move.
void centreWindowOnScreen(QWidget& window);

}  // namespace platform
