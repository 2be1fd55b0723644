// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/MenuButton.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleOptionToolButton>

namespace platform {

MenuButton::MenuButton(QWidget* parent) : QToolButton(parent)
{
    connect(this, &QAbstractButton::pressed, this, &MenuButton::openMenu);
}

void MenuButton::setPopupMenu(QMenu* menu)
{
    if (menu_) {
        menu_->removeEventFilter(this);
        disconnect(menu_, nullptr, this, nullptr);
    }
    menu_ = menu;
    updateGeometry();
    if (!menu)
        return;
    menu->installEventFilter(this);
    // The press that opened the menu never ends on the button.
    connect(menu, &QMenu::aboutToHide, this, [this] {
        setDown(false);
        update();
    });
}

void MenuButton::openMenu()
{
    if (!menu_ || menu_->isVisible())
        return;
    const QSize size = menu_->sizeHint();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen* shown = screen(); shown && at.y() + size.height() > shown->availableGeometry().bottom() + 1)
        at = mapToGlobal(QPoint(0, 0)) - QPoint(0, size.height());
    if (isRightToLeft())
        at.rx() += width() - size.width();
    menu_->setAttribute(Qt::WA_NoMouseReplay, false);
    menu_->popup(at);
    // Without the mouse, the arrows and Return should work at once: the
    // entry in force (or the first) is the active one.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        const QList<QAction*> entries = menu_->actions();
        QAction* active = nullptr;
        for (QAction* entry : entries) {
            if (!entry->isEnabled() || entry->isSeparator())
                continue;
            if (entry->isChecked()) {
                active = entry;
                break;
            }
            if (!active)
                active = entry;
        }
        menu_->setActiveAction(active);
    }
}

bool MenuButton::eventFilter(QObject* watched, QEvent* event)
{
    // The press outside the menu that closes it would be replayed on what
    // lies under it; on this button that would open the menu again. The
    // event's kind is asked first: a menu being destroyed still sends its
    // last events here, and is no longer a menu to compare with.
    if (event->type() == QEvent::MouseButtonPress && watched == menu_) {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (!menu_->geometry().contains(at) && rect().contains(mapFromGlobal(at)))
            menu_->setAttribute(Qt::WA_NoMouseReplay);
    }
    return QToolButton::eventFilter(watched, event);
}

void MenuButton::initStyleOption(QStyleOptionToolButton* option) const
{
    QToolButton::initStyleOption(option);
    if (menu_)
        option->features |= QStyleOptionToolButton::HasMenu;
    // A menu closed away from the button leaves no leave event for it: the
    // window is entered again right where the pointer is. Left to Qt, the
    // button would look hovered until the pointer crosses it again.
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        option->state &= ~QStyle::State_MouseOver;
}

QSize MenuButton::sizeHint() const
{
    // Room for the arrow the style draws in the corner: the text stays in
    // the middle, so the room is on both sides.
    QSize hint = QToolButton::sizeHint();
    if (menu_) {
        QStyleOptionToolButton option;
        initStyleOption(&option);
        hint.rwidth() += style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, this);
    }
    return hint;
}

}  // namespace platform
