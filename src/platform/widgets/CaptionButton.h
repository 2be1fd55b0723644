// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/widgets/CaptionLabel.h"

#include <QAccessible>
#include <QPointer>

class QPainter;

namespace platform {

// A caption label that acts as a button for the keyboard and for assistive
// technology as well as for the mouse. Tab reaches it (a click does not
// take the focus, so the mouse sees it as before); Space or Return reports
// pressed() when the key goes down and released() when it comes up, as a
// left click would, and a focus mark shows while the focus came from the
// keyboard. The focus leaving while a key holds it down reports nothing
// more. A screen reader finds it with `role` and its caption as name, and
// may press it.
class CaptionButton : public CaptionLabel {
    Q_OBJECT

public:
    explicit CaptionButton(QWidget* parent = nullptr, QAccessible::Role role = QAccessible::Button);

    QAccessible::Role accessibleRole() const { return role_; }
    // Whose caption a screen reader reads as the button's description: the
    // row's title for a row button. An accessible description set on the
    // button itself wins.
    void setDescribedBy(QLabel* label) { describedBy_ = label; }
    QString description() const;
    // Held down by Space or Return.
    bool isDown() const { return downKey_ != 0; }
    // It has the focus and the user is on the keyboard.
    bool showsFocusMark() const;
    // The mark: a rounded ring in the highlight colour.
    static void paintFocusMark(QPainter& painter, const QRectF& ring, qreal radius, const QPalette& colours);

    // A left press and release, as from the mouse.
    void click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QAccessible::Role role_;
    QPointer<QLabel> describedBy_;
    int downKey_ = 0;
};

}  // namespace platform
