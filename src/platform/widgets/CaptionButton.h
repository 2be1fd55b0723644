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
// keyboard. A screen reader finds it with `role` and its caption as name,
// and may press it.
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
    // The parent draws the mark (a button face around its caption); the
    // button only asks it to repaint.
    void setFocusMarkOnParent(bool onParent) { markOnParent_ = onParent; }
    // The mark: a rounded ring in the highlight colour.
    static void paintFocusMark(QPainter& painter, const QRectF& ring, qreal radius, const QPalette& colours);

    // A left press and release, as from the mouse.
    void click();

signals:
    // The focus left while a key held the button down: nothing is run,
    // and the face goes back up.
    void pressAbandoned();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void updateFocusMark();

    QAccessible::Role role_;
    QPointer<QLabel> describedBy_;
    int downKey_ = 0;
    bool markOnParent_ = false;
};

}  // namespace platform
