// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>

class QAction;
class QWidget;

namespace platform {

// Lets the actions' shortcuts win over the editor's own use of the same keys
// (a text box takes Ctrl+V for paste, for one), so a menu shortcut works
// wherever the focus is in its window. The filter lives as long as the editor.
void giveShortcutsPrecedence(QWidget* editor, const QList<QAction*>& actions);

}  // namespace platform
