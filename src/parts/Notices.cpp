// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/Notices.h"

#include "platform/host/HostOperations.h"

void showNotice(const QString& prompt, QMessageBox::Icon icon, QWidget* owner)
{
    platform::showMessage(kNoticeTitle, prompt, icon, QMessageBox::Ok, owner);
}

bool askYesNo(const QString& prompt, QWidget* owner)
{
    return platform::showMessage(kNoticeTitle, prompt, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, owner)
        == QMessageBox::Yes;
}
