#pragma once

class QWidget;

// Moves the window so that its outer frame, borders included, is centred on
// the screen, computed in twips as the window model places its forms. No
// screen, no move.
void CentreWindowOnScreen(QWidget& window);
