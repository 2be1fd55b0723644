// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/ShortcutPrecedence.h"

#include <QAction>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace platform {
namespace {

class ShortcutPrecedenceFilter final : public QObject {
public:
    ShortcutPrecedenceFilter(QWidget* editor, const QList<QAction*>& actions) : QObject(editor)
    {
        for (QAction* action : actions)
            actions_.append(action);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return QObject::eventFilter(watched, event);
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QPointer<QAction>& action : actions_) {
            if (action && action->isEnabled() && action->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
                // Left unaccepted, the key goes on to the shortcut.
                event->ignore();
                return true;
            }
        }
        return false;
    }

private:
    QList<QPointer<QAction>> actions_;
};

}  // namespace

void giveShortcutsPrecedence(QWidget* editor, const QList<QAction*>& actions)
{
    editor->installEventFilter(new ShortcutPrecedenceFilter(editor, actions));
}

}  // namespace platform
