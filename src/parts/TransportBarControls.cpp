// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PlayTime.h"
#include "parts/TransportBar.h"
#include "platform/widgets/JumpSlider.h"
#include "playback/Playback.h"

#include <QActionGroup>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

// The bar's controls with their keys, and its context menu: what the user
// does with them becomes the playback's commands.

namespace {

// How far Left and Right seek.
constexpr qint64 kSeekStep = 5000;

struct SpeedEntry {
    qreal rate;
    const char16_t* text;
};

constexpr SpeedEntry kSpeeds[] = {
    {0.5, u"0.5 倍速"},   {0.75, u"0.75 倍速"}, {1.0, u"正常"},
    {1.25, u"1.25 倍速"}, {1.5, u"1.5 倍速"},   {2.0, u"2 倍速"},
};

QToolButton* makeButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

void TransportBar::buildBar()
{
    playPauseButton_ = makeButton(this, "playPauseButton", QStyle::SP_MediaPlay);
    stopButton_ = makeButton(this, "stopButton", QStyle::SP_MediaStop);
    nameButton(stopButton_, QStringLiteral("停止"));
    muteButton_ = makeButton(this, "muteButton", QStyle::SP_MediaVolume);
    muteButton_->setCheckable(true);
    // A toggle keeps its name; its checked state says whether it is on.
    muteButton_->setAccessibleName(QStringLiteral("静音"));

    positionSlider_ = new platform::JumpSlider(Qt::Horizontal, this);
    positionSlider_->setObjectName(QStringLiteral("positionSlider"));
    positionSlider_->setToolTip(QStringLiteral("播放进度"));
    positionSlider_->setAccessibleName(positionSlider_->toolTip());
    positionSlider_->setRange(0, 0);
    positionSlider_->setSingleStep(static_cast<int>(kSeekStep));
    positionSlider_->setPageStep(30000);
    positionSlider_->setFocusPolicy(Qt::TabFocus);

    volumeSlider_ = new platform::JumpSlider(Qt::Horizontal, this);
    volumeSlider_->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider_->setToolTip(QStringLiteral("音量"));
    volumeSlider_->setAccessibleName(volumeSlider_->toolTip());
    volumeSlider_->setRange(0, 100);
    volumeSlider_->setSingleStep(5);
    volumeSlider_->setPageStep(10);
    volumeSlider_->setValue(playback_.volume());
    volumeSlider_->setFixedWidth(90);
    volumeSlider_->setFocusPolicy(Qt::TabFocus);

    auto makeLabel = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    elapsedLabel_ = makeLabel("elapsedLabel");
    totalLabel_ = makeLabel("totalLabel");
    statusLabel_ = makeLabel("statusLabel");
    statusLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QPalette quiet = statusLabel_->palette();
    quiet.setColor(QPalette::WindowText, quiet.color(QPalette::Disabled, QPalette::WindowText));
    statusLabel_->setPalette(quiet);

    auto* timeRow = new QHBoxLayout;
    timeRow->setSpacing(6);
    timeRow->addWidget(elapsedLabel_);
    timeRow->addWidget(positionSlider_, 1);
    timeRow->addWidget(totalLabel_);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(2);
    buttonRow->addWidget(playPauseButton_);
    buttonRow->addWidget(stopButton_);
    buttonRow->addSpacing(8);
    buttonRow->addWidget(statusLabel_, 1);
    buttonRow->addWidget(muteButton_);
    buttonRow->addWidget(volumeSlider_);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 2, 6, 2);
    rows->setSpacing(0);
    rows->addLayout(timeRow);
    rows->addLayout(buttonRow);

    for (QWidget* control : controls())
        control->installEventFilter(this);

    connect(playPauseButton_, &QToolButton::clicked, &playback_, &Playback::togglePlay);
    connect(stopButton_, &QToolButton::clicked, &playback_, &Playback::stop);
    connect(muteButton_, &QToolButton::clicked, &playback_, &Playback::setMuted);
    connect(volumeSlider_, &QSlider::valueChanged, &playback_, &Playback::setVolume);

    // A drag seeks once, where it is let go; until then the lecture keeps
    // playing and only the elapsed time follows the handle.
    connect(positionSlider_, &QSlider::sliderMoved, this,
            [this](int value) { elapsedLabel_->setText(formatPlayTime(value, playback_.duration())); });
    connect(positionSlider_, &QSlider::sliderReleased, this, &TransportBar::seekToSlider);
    // Keys and the wheel move the bar by steps; each step seeks.
    connect(positionSlider_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove && !positionSlider_->isSliderDown())
            seekToSlider();
    });
}

void TransportBar::seekToSlider()
{
    playback_.seek(positionSlider_->sliderPosition());
}

QList<QWidget*> TransportBar::controls() const
{
    // Left to right, the position bar above the buttons in between.
    return {playPauseButton_, stopButton_, positionSlider_, muteButton_, volumeSlider_};
}

void TransportBar::nameButton(QToolButton* button, const QString& name)
{
    button->setToolTip(name);
    button->setAccessibleName(name);
}

bool TransportBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Space:
        // Stop and mute are buttons of their own: Space presses them.
        if (watched == stopButton_ || watched == muteButton_)
            return false;
        if (!key->isAutoRepeat())
            playback_.togglePlay();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        // On the volume bar they set the volume, as on any slider.
        if (watched == volumeSlider_)
            return false;
        playback_.seekBy(key->key() == Qt::Key_Left ? -kSeekStep : kSeekStep);
        return true;
    default:
        return false;
    }
}

void TransportBar::buildContextMenu()
{
    contextMenu_ = new QMenu(this);
    speedMenu_ = contextMenu_->addMenu(QStringLiteral("播放速度"));
    speedGroup_ = new QActionGroup(this);
    speedGroup_->setExclusive(true);
    for (const SpeedEntry& entry : kSpeeds) {
        QAction* action = speedMenu_->addAction(QString::fromUtf16(entry.text));
        action->setCheckable(true);
        action->setData(entry.rate);
        speedGroup_->addAction(action);
        const qreal rate = entry.rate;
        connect(action, &QAction::triggered, this, [this, rate] { playback_.setPlaybackRate(rate); });
    }
}
