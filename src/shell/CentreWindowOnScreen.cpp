#include "shell/CentreWindowOnScreen.h"

#include "platform/Twips.h"
#include "shell/HostOperations.h"

#include <QWidget>

void CentreWindowOnScreen(QWidget& window)
{
    const QSize screen = ScreenSizeInTwips();
    if (screen.isEmpty())
        return;
    // The outer size, borders included, is known once the native window
    // exists; asking for its id makes it.
    window.winId();
    const QSize outer = window.frameSize() * platform::kTwipsPerPixel;
    const int top = (screen.height() - outer.height()) / 2;
    const int left = (screen.width() - outer.width()) / 2;
    window.move(left / platform::kTwipsPerPixel, top / platform::kTwipsPerPixel);
}
