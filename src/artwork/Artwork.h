// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>

// The pictures of the main window, drawn from the SVG files in resources/
// (a designer edits those) so that they stay sharp at any screen density.
// Each function takes the device pixel ratio of the screen it is meant for
// and returns a pixmap of logical size x ratio device pixels that already
// carries that ratio, so widgets lay it out at its logical size. Results
// are kept in QPixmapCache, so calling again is cheap; call only from the
// GUI thread, after the application object exists.
namespace artwork {

inline constexpr int kIconSize = 32;
inline constexpr QSize kButtonFaceSize{50, 21};
inline constexpr QSize kSidePanelSize{158, 511};

// A white loudspeaker with sound waves on a rounded blue tile; the corners
// are transparent. The drawing scales with logicalSize (window icon at 32,
// desktop icon at 64 to 256). A logicalSize below 1 gives a null pixmap.
QPixmap loudspeakerIcon(int logicalSize = kIconSize, qreal dpr = 1);

// The loudspeaker at the usual icon sizes from 16 to 256 pixels, with 32 at
// both 1x and 2x, for the window and the desktop.
QIcon loudspeakerAppIcon();

// The faces behind a row's command captions (black 9 pt text centred on
// top): raised pale grey when released, sunken pale blue when pressed.
QPixmap pressedButtonFace(qreal dpr = 1);
QPixmap releasedButtonFace(qreal dpr = 1);
// The released face's rim, a rounded rectangle: where a focus ring goes.
inline constexpr QRectF kButtonFaceRim{0.5, 0.5, 49, 19};
inline constexpr qreal kButtonFaceRimRadius = 3;

// The picture behind the top-left panel: a deep-to-lighter blue sky, the
// heart-and-pulse mark, and a city skyline on a dark ground. Text is laid
// over it at the top (up to about y = 125) and on the ground (about y = 292),
// so those bands are kept plain.
QPixmap sidePanelPicture(qreal dpr = 1);

}  // namespace artwork
