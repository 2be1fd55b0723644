// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/PlayTime.h"
#include "parts/TransportBar.h"
#include "platform/widgets/JumpSlider.h"
#include "platform/widgets/MenuButton.h"
#include "playback/Playback.h"

#include <QAction>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

// The bar's controls with their keys: what the user does with them becomes
// the playback's commands. The menus are in TransportBarMenus.cpp.

namespace {

// How far Left and Right seek.
constexpr qint64 kSeekStep = 5000;

template <typename Button = QToolButton> Button* makeButton(QWidget* parent, const char* name)
{
    auto* button = new Button(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QToolButton* makeButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon)
{
    QToolButton* button = makeButton(parent, name);
    button->setIcon(parent->style()->standardIcon(icon));
    return button;
}

// A button whose text changes keeps the width of its widest text, so the
// buttons beside it stay where they are.
void keepWidestText(QToolButton* button, const QStringList& texts)
{
    int widest = 0;
    for (const QString& text : texts) {
        button->setText(text);
        widest = std::max(widest, button->sizeHint().width());
    }
    button->setMinimumWidth(widest);
}

}  // namespace

void TransportBar::buildSkipActions()
{
    // Ctrl+Left and Ctrl+Right skip anywhere in the window, where plain
    // arrows already move between rows and seek in this bar. The search box
    // keeps them for moving by word: a line edit accepts the shortcut
    // override of the standard word moves, so the key goes to it before
    // any shortcut of its window (Qt 6.4's QWidgetLineControl, and
    // TransportBarTest presses them in a text box of the bar's window).
    auto makeSkip = [this](const QString& name, QStyle::StandardPixmap icon, const QKeySequence& key, qint64 step) {
        auto* action = new QAction(style()->standardIcon(icon), name, this);
        action->setToolTip(name);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, step] { playback_.seekBy(step); });
        addAction(action);
        return action;
    };
    skipBackAction_ = makeSkip(QStringLiteral("后退10秒"), QStyle::SP_MediaSeekBackward,
                               QKeySequence(Qt::CTRL | Qt::Key_Left), -kSkipBack);
    skipAheadAction_ = makeSkip(QStringLiteral("前进30秒"), QStyle::SP_MediaSeekForward,
                                QKeySequence(Qt::CTRL | Qt::Key_Right), kSkipAhead);
}

void TransportBar::buildBar()
{
    playPauseButton_ = makeButton(this, "playPauseButton", QStyle::SP_MediaPlay);
    stopButton_ = makeButton(this, "stopButton", QStyle::SP_MediaStop);
    nameButton(stopButton_, QStringLiteral("停止"));
    skipBackButton_ = makeButton(this, "skipBackButton");
    skipBackButton_->setDefaultAction(skipBackAction_);
    skipBackButton_->setAccessibleName(skipBackAction_->text());
    skipAheadButton_ = makeButton(this, "skipAheadButton");
    skipAheadButton_->setDefaultAction(skipAheadAction_);
    skipAheadButton_->setAccessibleName(skipAheadAction_->text());
    speedButton_ = makeButton<platform::MenuButton>(this, "speedButton");
    speedButton_->setPopupMenu(speedMenu_);
    nameButton(speedButton_, QStringLiteral("播放速度"));
    keepWidestText(speedButton_, {QStringLiteral("0.75x"), QStringLiteral("1.25x"), QStringLiteral("1.75x")});
    sleepButton_ = makeButton<platform::MenuButton>(this, "sleepTimerButton");
    sleepButton_->setPopupMenu(sleepMenu_);
    nameButton(sleepButton_, QStringLiteral("定时停止"));
    keepWidestText(sleepButton_, {QStringLiteral("定时"), QStringLiteral("00:00"), QStringLiteral("本讲结束")});
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
    buttonRow->addWidget(skipBackButton_);
    buttonRow->addWidget(skipAheadButton_);
    buttonRow->addSpacing(8);
    buttonRow->addWidget(statusLabel_, 1);
    buttonRow->addWidget(speedButton_);
    buttonRow->addWidget(sleepButton_);
    buttonRow->addSpacing(4);
    buttonRow->addWidget(muteButton_);
    buttonRow->addWidget(volumeSlider_);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(6, 2, 6, 2);
    rows->setSpacing(0);
    rows->addLayout(timeRow);
    rows->addLayout(buttonRow);

    const QList<QWidget*> chain = controls();
    for (QWidget* control : chain)
        control->installEventFilter(this);
    // The bar's own order, whatever window it is in.
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

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
    return {playPauseButton_, stopButton_,  skipBackButton_, skipAheadButton_, positionSlider_,
            speedButton_,     sleepButton_, muteButton_,     volumeSlider_};
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
        // The other buttons do something of their own: Space presses them.
        if (watched != playPauseButton_ && qobject_cast<QAbstractButton*>(watched))
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
