// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>

// The window's colours, named for what they mark. An invalid colour leaves
// the desktop's own (its button text, its text-field background), so those
// places follow a dark or high-contrast theme.
namespace colours {

inline const QColor desktopDefault;

inline const QColor text{0, 0, 0};
inline const QColor chosenView{255, 0, 0};
inline const QColor dimmedText{128, 128, 128};
inline const QColor paper{255, 255, 255};
inline const QColor progress{0, 0, 255};
inline const QColor link{0, 0, 255};
inline const QColor rowSeparator{0, 128, 128};

inline const QColor sidePanel{0, 192, 192};
inline const QColor sidePanelText{255, 255, 255};
inline const QColor sidePanelHighlight{0, 255, 0};
inline const QColor phoneEditionButton{255, 255, 192};

inline const QColor aboutBand{192, 255, 255};
inline const QColor aboutTitle{0, 128, 128};

}  // namespace colours
