// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

class QWidget;

// Tells the listener that downloads failed, in one box at a time: with
// several lectures queued, a server that goes away fails them one after
// the other, and a stack of identical boxes would only have to be clicked
// away. Failures that come while the box is open are counted into it. The
// box does not hold up the window: the queue and the page go on under it.
class DownloadFailureBox : public QObject {
    Q_OBJECT

public:
    static inline const QString kMessage = QStringLiteral("下载失败!");

    explicit DownloadFailureBox(QWidget* window);

    // One more download failed.
    void report();
    // What the box says after `failures` failures.
    static QString text(int failures);

private:
    QWidget* window_;
    QPointer<QMessageBox> box_;
    int failures_ = 0;
};
