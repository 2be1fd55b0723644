// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QPointer>

class QLabel;

// A row's command button: a raised face that sinks while the button is
// held, with its caption on it. It acts on the release, through clicked():
// a left click on the caption, or Space or Return, which hold it down from
// key down to key up. Tab reaches it, a click does not take the focus, and
// while the focus came from the keyboard a ring lights up the face's rim.
// The focus leaving while a key holds it down lets it go without running
// anything. A screen reader finds a button named by its caption and
// described by the row's title, and may press it.
class RowButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit RowButton(QWidget* parent = nullptr);

    // Whose texts a screen reader reads as the button's description, the
    // non-empty ones joined: the page scrolls under the button, so they are
    // read when asked for. An accessible description set on the button
    // itself wins.
    void setDescribedBy(QLabel* label, QLabel* more = nullptr);
    QString description() const;
    QString caption() const { return text(); }
    QAccessible::Role accessibleRole() const { return QAccessible::Button; }
    // It has the focus and the user is on the keyboard.
    bool showsFocusMark() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QPointer<QLabel> describedBy_;
    QPointer<QLabel> describedAlsoBy_;
    // The key holding the button down, or 0.
    int downKey_ = 0;
};
