// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/TransportBar.h"
#include "playback/Playback.h"
#include "playback/SleepTimer.h"

#include <QActionGroup>
#include <QMenu>

// The bar's menus: the play speed, in the context menu and under its
// button, and the sleep timer's.

namespace {

struct SpeedEntry {
    qreal rate;
    const char16_t* text;
};

constexpr SpeedEntry kSpeeds[] = {
    {0.5, u"0.5 倍速"}, {0.75, u"0.75 倍速"}, {1.0, u"正常"},   {1.25, u"1.25 倍速"},
    {1.5, u"1.5 倍速"}, {1.75, u"1.75 倍速"}, {2.0, u"2 倍速"},
};

constexpr int kSleepMinutes[] = {15, 30, 45, 60, 90};

}  // namespace

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

void TransportBar::buildSleepMenu()
{
    sleepMenu_ = new QMenu(this);
    for (const int minutes : kSleepMinutes) {
        QAction* action = sleepMenu_->addAction(QStringLiteral("%1分钟").arg(minutes));
        connect(action, &QAction::triggered, &sleepTimer_, [this, minutes] { sleepTimer_.start(minutes); });
    }
    sleepAtEndAction_ = sleepMenu_->addAction(QStringLiteral("本讲结束后"));
    connect(sleepAtEndAction_, &QAction::triggered, &sleepTimer_, &SleepTimer::startUntilEndOfLecture);
    sleepMenu_->addSeparator();
    cancelSleepAction_ = sleepMenu_->addAction(QStringLiteral("关闭定时"));
    connect(cancelSleepAction_, &QAction::triggered, &sleepTimer_, &SleepTimer::cancel);
}
