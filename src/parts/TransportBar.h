// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class Playback;
class SleepTimer;
class QAction;
class QActionGroup;
class QContextMenuEvent;
class QLabel;
class QMenu;
class QSlider;
class QToolButton;

namespace platform {
class MenuButton;
}  // namespace platform

// The transport bar, a view of a Playback and its SleepTimer: play/pause,
// stop, 10 s back and 30 s ahead, a position bar that seeks, elapsed and
// total time, a quiet status line, the play speed (a button showing it,
// and the context menu), the sleep timer (a button showing the time left),
// mute and volume. It shows whatever the playback does, whoever made it do
// it, and turns the user's clicks and keys into its commands. From the
// keyboard, Space plays or pauses and Left and Right seek by five seconds
// wherever the focus is in the bar, but for the other buttons, which Space
// presses, and the volume bar, which the arrows move; Ctrl+Left and
// Ctrl+Right skip back and ahead anywhere in its window. It never shows a
// dialog: a lecture that cannot be opened or played leaves a line of text
// in the bar.
class TransportBar : public QWidget {
    Q_OBJECT

public:
    // How far the skip buttons and their keys go, in ms.
    static constexpr qint64 kSkipBack = 10000;
    static constexpr qint64 kSkipAhead = 30000;

    // playback and sleepTimer must outlive the bar.
    TransportBar(Playback& playback, SleepTimer& sleepTimer, QWidget* parent = nullptr);

    // The status line ("正在播放", "已暂停", ...).
    QString statusText() const;
    QMenu* contextMenu() const { return contextMenu_; }
    QMenu* speedMenu() const { return speedMenu_; }
    QMenu* sleepMenu() const { return sleepMenu_; }
    // The controls the keyboard reaches, in the order Tab should take them.
    QList<QWidget*> controls() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBar();
    void buildSkipActions();
    void buildContextMenu();
    void buildSleepMenu();
    // The tool tip and the name a screen reader reads.
    static void nameButton(QToolButton* button, const QString& name);
    void connectPlayback();
    void seekToSlider();
    void showPosition(qint64 position);
    void showDuration(qint64 duration);
    void showState();
    void showMuted(bool muted);
    void showSpeed();
    void showSleepTimer();

    Playback& playback_;
    SleepTimer& sleepTimer_;

    QToolButton* playPauseButton_ = nullptr;
    QToolButton* stopButton_ = nullptr;
    QAction* skipBackAction_ = nullptr;
    QAction* skipAheadAction_ = nullptr;
    QToolButton* skipBackButton_ = nullptr;
    QToolButton* skipAheadButton_ = nullptr;
    QSlider* positionSlider_ = nullptr;
    QLabel* elapsedLabel_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    platform::MenuButton* speedButton_ = nullptr;
    platform::MenuButton* sleepButton_ = nullptr;
    QToolButton* muteButton_ = nullptr;
    QSlider* volumeSlider_ = nullptr;

    QMenu* contextMenu_ = nullptr;
    QMenu* speedMenu_ = nullptr;
    QActionGroup* speedGroup_ = nullptr;
    QMenu* sleepMenu_ = nullptr;
    QAction* sleepAtEndAction_ = nullptr;
    QAction* cancelSleepAction_ = nullptr;
};
