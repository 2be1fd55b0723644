// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMenu>
#include <QPointer>
#include <QToolButton>

namespace platform {

// A tool button that opens its menu as soon as it is pressed (the mouse,
// Space, a screen reader's press), under itself or above when the screen
// has no room below, with the small arrow of a button that has a menu.
// QToolButton's own pop-up waits for the menu in an event loop of its
// own, inside which anything the window does (a lecture ending, a
// download finishing) runs at the press; this one only shows it. A press
// on the button while its menu is open closes the menu, as on any menu
// button.
class MenuButton : public QToolButton {
    Q_OBJECT

public:
    explicit MenuButton(QWidget* parent = nullptr);

    // The button does not own the menu, which may also be a submenu elsewhere.
    void setPopupMenu(QMenu* menu);
    QMenu* popupMenu() const { return menu_; }

    QSize sizeHint() const override;

protected:
    void initStyleOption(QStyleOptionToolButton* option) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openMenu();

    QPointer<QMenu> menu_;
};

}  // namespace platform
