// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PercentageLabel.h"

#include "platform/host/MonotonicTick.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

std::optional<int> percentIn(const QString& caption)
{
    if (caption.size() < 2 || !caption.endsWith(u'%'))
        return std::nullopt;
    const QStringView digits = QStringView(caption).chopped(1);
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const int value = digits.toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// The label as a screen reader meets it: a progress bar with a value while
// it shows a percentage, static text otherwise. Qt asks for the role and
// the interfaces each time, so both follow the caption.
class PercentageAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit PercentageAccessible(PercentageLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) { }

    QAccessible::Role role() const override
    {
        return label()->percent() ? QAccessible::ProgressBar : QAccessible::StaticText;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return label()->percent() ? label()->accessibleName() : label()->caption();
        case QAccessible::Description:
            return label()->description();
        case QAccessible::Value:
            return label()->percent() ? label()->caption() : QString();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface && label()->percent())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return label()->percent().value_or(0); }
    // The download sets the value; a screen reader only reads it.
    void setCurrentValue(const QVariant&) override { }
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

    static QAccessibleInterface* create(const QString& className, QObject* object)
    {
        if (className == QLatin1String(PercentageLabel::staticMetaObject.className()))
            return new PercentageAccessible(static_cast<PercentageLabel*>(object));
        return nullptr;
    }

private:
    PercentageLabel* label() const { return static_cast<PercentageLabel*>(widget()); }
};

}  // namespace

PercentageLabel::PercentageLabel(QWidget* parent)
    : PercentageLabel(parent, &platform::monotonicMilliseconds,
                      [](QAccessibleEvent& event) { QAccessible::updateAccessibility(&event); })
{
}

PercentageLabel::PercentageLabel(QWidget* parent, TickSource tickSource, EventSink sendEvent)
    : CaptionLabel(parent),
      tickSource_(std::move(tickSource)),
      sendEvent_(std::move(sendEvent))
{
    static const bool installed = (QAccessible::installFactory(&PercentageAccessible::create), true);
    Q_UNUSED(installed);
    // A name of its own also keeps QLabel from telling a screen reader of
    // every new percentage as a new name.
    setAccessibleName(QStringLiteral("下载进度"));
    heldBack_.setSingleShot(true);
    connect(&heldBack_, &QTimer::timeout, this, [this] {
        if (percent())
            sendValue();
    });
}

void PercentageLabel::setCaption(const QString& caption)
{
    const std::optional<int> before = percent();
    const std::optional<int> after = percentIn(caption);
    const bool changed = caption != text();
    // A screen reader reads the value from the label, not from the event,
    // so the last percentage goes out while the label still shows it.
    if (changed && !after && heldBack_.isActive())
        sendValue();
    CaptionLabel::setCaption(caption);
    if (!changed)
        return;
    if (!before || !after) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        sendEvent_(event);
    }
    if (after)
        announceValue();
}

std::optional<int> PercentageLabel::percent() const
{
    return percentIn(text());
}

void PercentageLabel::setDescribedBy(QLabel* label)
{
    describedBy_ = label;
}

QString PercentageLabel::description() const
{
    if (!accessibleDescription().isEmpty() || !describedBy_)
        return accessibleDescription();
    return describedBy_->text();
}

void PercentageLabel::announceValue()
{
    const qint64 sinceLast = lastSent_ ? tickSource_() - *lastSent_ : kAnnounceInterval;
    if (sinceLast >= kAnnounceInterval)
        sendValue();
    else if (!heldBack_.isActive())
        heldBack_.start(static_cast<int>(kAnnounceInterval - sinceLast));
}

void PercentageLabel::sendValue()
{
    heldBack_.stop();
    lastSent_ = tickSource_();
    QAccessibleValueChangeEvent event(this, percent().value_or(0));
    sendEvent_(event);
}
