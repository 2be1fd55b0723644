#pragma once

#include <QObject>
#include <QTimer>

namespace platform {

// A timer that raises Timer every Interval milliseconds while Enabled.
class TimerControl : public QObject {
    Q_OBJECT

public:
    explicit TimerControl(int interval, QObject* parent = nullptr);

    bool Enabled() const { return timer_.isActive(); }
    void setEnabled(bool enabled);
    int Interval() const { return timer_.interval(); }

signals:
    void Timer();

private:
    QTimer timer_;
};

}  // namespace platform
