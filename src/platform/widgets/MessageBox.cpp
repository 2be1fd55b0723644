// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/MessageBox.h"

namespace platform {

namespace {

QMessageBox::StandardButton pressedButton(const QMessageBox& box)
{
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    if (pressed != QMessageBox::NoButton)
        return pressed;
    return box.standardButtons().testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
}

}  // namespace

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

QMessageBox* showMessageBox(std::unique_ptr<QMessageBox> box, std::function<void(QMessageBox::StandardButton)> answered)
{
    QMessageBox* shown = box.release();
    shown->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(
        shown, &QDialog::finished, shown,
        [shown, answered = std::move(answered)] {
            if (answered)
                answered(pressedButton(*shown));
        },
        Qt::SingleShotConnection);
    // show(), not open(): open() would make it modal to its owner's window
    // only, where the box was built modal to the whole program.
    shown->show();
    return shown;
}

}  // namespace platform
