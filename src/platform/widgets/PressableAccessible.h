// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>

namespace platform {

// Space, Return, Enter or Select without a modifier: the keys that press a
// button.
inline bool isButtonActivationKey(const QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Select:
        return true;
    default:
        return false;
    }
}

// What a screen reader sees of a button drawn by the program itself: its
// role, its caption as name, the description it gives (which may follow
// the page under it), whether it is held down, and a press action. Qt's
// stock interface reads a fixed description and presses with a timed
// animation. Button offers accessibleRole(), caption(), description(),
// isDown() and click().
template <typename Button> class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(Button* button) : QAccessibleWidget(button, button->accessibleRole()) { }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return button()->accessibleName().isEmpty() ? button()->caption() : button()->accessibleName();
        case QAccessible::Description:
            return button()->description();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& action) override
    {
        // Queued: a download runs inside the press, and the screen reader
        // waits for this call to come back.
        if (action == pressAction())
            QMetaObject::invokeMethod(
                button(), [button = button()] { button->click(); }, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

    // Makes Qt use this interface for every Button; once is enough.
    static void install()
    {
        static const bool installed = (QAccessible::installFactory(&create), true);
        Q_UNUSED(installed);
    }

private:
    static QAccessibleInterface* create(const QString& className, QObject* object)
    {
        if (className == QLatin1String(Button::staticMetaObject.className()))
            return new PressableAccessible(static_cast<Button*>(object));
        return nullptr;
    }

    Button* button() const { return static_cast<Button*>(widget()); }
};

}  // namespace platform
