// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/TypeText.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QTest>

void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QCoreApplication::sendEvent(widget, &commit);
        }
    }
}
