// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/widgets/CaptionLabel.h"

#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

class QAccessibleEvent;
class QLabel;

// A row's download percentage. While its caption is a percentage ("42%",
// digits and a percent sign) a screen reader finds a progress bar named
// 下载进度, described by the row's title, whose value goes from 0 to 100;
// any other caption it reads as plain text. The value's changes reach the
// screen reader at most once a second, so a download does not drown out
// everything else it says, and the latest one is never lost: a value held
// back goes out when its second is up, or at once when the caption stops
// being a percentage. Captions are set through setCaption.
class PercentageLabel : public platform::CaptionLabel {
    Q_OBJECT

public:
    // Milliseconds of a clock that never goes back.
    using TickSource = std::function<qint64()>;

    // Where the label's accessibility events go; Qt's own way to the
    // screen reader unless a test watches them (no test platform has one).
    using EventSink = std::function<void(QAccessibleEvent& event)>;
    static constexpr qint64 kAnnounceInterval = 1000;

    explicit PercentageLabel(QWidget* parent = nullptr);
    // Tests drive the once-a-second rule with a clock of their own.
    PercentageLabel(QWidget* parent, TickSource tickSource, EventSink sendEvent);

    void setCaption(const QString& caption) override;
    // The percentage shown; none while the caption is not one.
    std::optional<int> percent() const;

    // Whose text a screen reader reads as the progress bar's description:
    // the page scrolls under the label, so it is read when asked for.
    void setDescribedBy(QLabel* label);
    QString description() const;

private:
    void announceValue();
    void sendValue();

    TickSource tickSource_;
    EventSink sendEvent_;
    std::optional<qint64> lastSent_;
    QTimer heldBack_;
    QPointer<QLabel> describedBy_;
};
