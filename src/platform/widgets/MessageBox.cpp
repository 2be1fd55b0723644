// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/MessageBox.h"

namespace platform {

std::unique_ptr<QMessageBox> buildMessageBox(const QString& title, const QString& prompt, QMessageBox::Icon icon,
                                             QMessageBox::StandardButtons buttons, QWidget* owner)
{
    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowTitle(title);
    box->setText(prompt);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    box->setIcon(icon);
    box->setStandardButtons(buttons);
    box->setDefaultButton(buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
    return box;
}

QMessageBox::StandardButton runMessageBox(QMessageBox& box)
{
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    if (pressed != QMessageBox::NoButton)
        return pressed;
    return box.standardButtons().testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
}

}  // namespace platform
