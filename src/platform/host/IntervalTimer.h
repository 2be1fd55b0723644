// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QTimer>

namespace platform {

// A timer that raises timeout() every interval() milliseconds while it is
// enabled. Enabling it again while it runs does not restart the count.
class IntervalTimer : public QObject {
    Q_OBJECT

public:
    explicit IntervalTimer(int interval, QObject* parent = nullptr);

    bool isEnabled() const { return timer_.isActive(); }
    void setEnabled(bool enabled);
    int interval() const { return timer_.interval(); }

signals:
    void timeout();

private:
    QTimer timer_;
};

}  // namespace platform
