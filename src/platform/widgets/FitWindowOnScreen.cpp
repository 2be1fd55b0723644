// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/FitWindowOnScreen.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform {

namespace {

void fitAndCentre(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize fitting = window.size().boundedTo(area.size() - frame).expandedTo(window.minimumSize());
    if (fitting != window.size())
        window.resize(fitting);
    // Halves rounded towards zero, counted from where the screen itself
    // begins, as a window that fits has always been placed.
    const QRect whole = screen->geometry();
    const QSize outer = fitting + frame;
    int left = whole.x() + (whole.width() - outer.width()) / 2;
    int top = whole.y() + (whole.height() - outer.height()) / 2;
    left = std::clamp(left, area.left(), std::max(area.left(), area.x() + area.width() - outer.width()));
    top = std::clamp(top, area.top(), std::max(area.top(), area.y() + area.height() - outer.height()));
    // For a window, move() places its frame, not its contents.
    window.move(left, top);
}

// Under a window manager the frame a window gets (title bar, borders) is
// known only once the window is on screen. The first time it is, the
// window is fitted again by its whole outer size.
class FitOnceFramed final : public QObject {
public:
    explicit FitOnceFramed(QWidget& window) : QObject(&window), window_(window) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* handle = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && handle && handle->isExposed()) {
            handle->removeEventFilter(this);
            if (window_.frameGeometry().size() != window_.size())
                fitAndCentre(window_);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window_;
};

}  // namespace

void fitWindowOnScreen(QWidget& window)
{
    // The native window must exist for the screen and any frame to be known.
    window.winId();
    fitAndCentre(window);
    if (!window.isVisible() && window.windowHandle())
        window.windowHandle()->installEventFilter(new FitOnceFramed(window));
}

}  // namespace platform
