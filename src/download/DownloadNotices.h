// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace platform {
class SessionBus;
}

// Tells the desktop that a download has ended, and which lecture it was,
// when the user has gone to another window while it ran: a long download
// is often left to itself. In the window itself the row and the message
// box say it already, so nothing is sent while the window is the active one.
class DownloadNotices : public QObject {
    Q_OBJECT

public:
    // Sent through the notification service on `bus`.
    DownloadNotices(QWidget* window, platform::SessionBus& bus, QObject* parent = nullptr);

    // stored: the lecture is in the favourites; otherwise it failed.
    void downloadFinished(const QString& lectureTitle, bool stored);

private:
    QPointer<QWidget> window_;
    QPointer<platform::SessionBus> bus_;
};
