// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/Notices.h"

#include "platform/host/HostOperations.h"

#include <utility>

void showNotice(const QString& prompt, QMessageBox::Icon icon, QWidget* owner, std::function<void()> closed)
{
    platform::showMessage(kNoticeTitle, prompt, icon, QMessageBox::Ok, owner,
                          [closed = std::move(closed)](QMessageBox::StandardButton) {
                              if (closed)
                                  closed();
                          });
}

void askYesNo(const QString& prompt, QWidget* owner, std::function<void(bool yes)> answered)
{
    platform::showMessage(kNoticeTitle, prompt, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, owner,
                          [answered = std::move(answered)](QMessageBox::StandardButton pressed) {
                              answered(pressed == QMessageBox::Yes);
                          });
}
