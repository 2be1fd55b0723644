// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadFailureBox.h"

#include "parts/Notices.h"
#include "platform/host/HostOperations.h"

DownloadFailureBox::DownloadFailureBox(QWidget* window) : QObject(window), window_(window) { }

QString DownloadFailureBox::text(int failures)
{
    if (failures <= 1)
        return kMessage;
    return kMessage + QStringLiteral("\n共 %1 个讲座未能下载。").arg(failures);
}

void DownloadFailureBox::report()
{
    if (box_ && box_->isVisible()) {
        box_->setText(text(++failures_));
        return;
    }
    failures_ = 1;
    box_ = platform::openMessage(kNoticeTitle, text(failures_), QMessageBox::NoIcon, window_);
}
