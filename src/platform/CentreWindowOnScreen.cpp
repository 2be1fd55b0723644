#include "platform/CentreWindowOnScreen.h"

#include "platform/HostOperations.h"
#include "platform/Twips.h"

#include <QWidget>

namespace platform {

void centreWindowOnScreen(QWidget& window)
{
    const QSize screen = screenSizeInTwips();
    if (screen.isEmpty())
        return;
    // The outer size, borders included, is known once the native window
    // exists; asking for its id makes it.
    window.winId();
    const QSize outer = window.frameSize() * kTwipsPerPixel;
    const int top = (screen.height() - outer.height()) / 2;
    const int left = (screen.width() - outer.width()) / 2;
    window.move(left / kTwipsPerPixel, top / kTwipsPerPixel);
}

}  // namespace platform
