// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/CentreWindowOnScreen.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

void moveToCentre(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    // Halves rounded towards zero, counted from where the screen itself
    // begins.
    const QRect area = screen->geometry();
    const QSize outer = window.frameGeometry().size();
    const int top = (area.height() - outer.height()) / 2;
    const int left = (area.width() - outer.width()) / 2;
    // For a window, move() places its frame, not its contents.
    window.move(area.x() + left, area.y() + top);
}

// Under a window manager the frame a window gets (title bar, borders) is
// known only once the window is on screen. The first time it is, the
// window is centred again by its whole outer size.
class CentreOnceFramed final : public QObject {
public:
    explicit CentreOnceFramed(QWidget& window) : QObject(&window), window_(window) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* handle = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && handle && handle->isExposed()) {
            handle->removeEventFilter(this);
            if (window_.frameGeometry().size() != window_.size())
                moveToCentre(window_);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window_;
};

}  // namespace

void centreWindowOnScreen(QWidget& window)
{
    // The native window must exist for the screen and any frame to be known.
    window.winId();
    moveToCentre(window);
    if (!window.isVisible() && window.windowHandle())
        window.windowHandle()->installEventFilter(new CentreOnceFramed(window));
}

}  // namespace platform
