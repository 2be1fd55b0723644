#include "platform/widgets/MessageBoxDialog.h"

namespace platform {

std::unique_ptr<QMessageBox> buildMessageBox(const QString& prompt, int style, const QString& title,
                                             QWidget* owner)
{
    auto box = std::make_unique<QMessageBox>(owner);
    box->setWindowTitle(title);
    box->setText(prompt);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    box->setIcon((style & 0x70) == kStyleExclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    if ((style & 0x0F) == kStyleYesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
    }
    return box;
}

int runMessageBox(QMessageBox& box)
{
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    switch (pressed) {
    case QMessageBox::Yes:
        return kAnswerYes;
    case QMessageBox::No:
        return kAnswerNo;
    default:
        // Closing a Yes/No box with Escape or the close box is a "No".
        return box.standardButtons().testFlag(QMessageBox::No) ? kAnswerNo : kAnswerOk;
    }
}

}  // namespace platform
