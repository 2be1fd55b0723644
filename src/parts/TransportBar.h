// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class Playback;
class QActionGroup;
class QContextMenuEvent;
class QLabel;
class QMenu;
class QSlider;
class QToolButton;

// The transport bar, a view of a Playback: play/pause, stop, a position bar
// that seeks, elapsed and total time, a quiet status line, mute and volume,
// and the play speed in its context menu. It shows whatever the playback
// does, whoever made it do it, and turns the user's clicks and keys into
// its commands. From the keyboard, Space plays or pauses and Left and Right
// seek by five seconds wherever the focus is in the bar, but for the stop
// and mute buttons, which Space presses, and the volume bar, which the
// arrows move. It never shows a dialog: a lecture that cannot be opened or
// played leaves a line of text in the bar.
class TransportBar : public QWidget {
    Q_OBJECT

public:
    // playback must outlive the bar.
    explicit TransportBar(Playback& playback, QWidget* parent = nullptr);

    // The status line ("正在播放", "已暂停", ...).
    QString statusText() const;
    QMenu* contextMenu() const { return contextMenu_; }
    QMenu* speedMenu() const { return speedMenu_; }
    // The controls the keyboard reaches, in the order Tab should take them.
    QList<QWidget*> controls() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBar();
    void buildContextMenu();
    // The tool tip and the name a screen reader reads.
    static void nameButton(QToolButton* button, const QString& name);
    void connectPlayback();
    void seekToSlider();
    void showPosition(qint64 position);
    void showDuration(qint64 duration);
    void showState();
    void showMuted(bool muted);
    void checkCurrentSpeed();

    Playback& playback_;

    QToolButton* playPauseButton_ = nullptr;
    QToolButton* stopButton_ = nullptr;
    QSlider* positionSlider_ = nullptr;
    QLabel* elapsedLabel_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QToolButton* muteButton_ = nullptr;
    QSlider* volumeSlider_ = nullptr;

    QMenu* contextMenu_ = nullptr;
    QMenu* speedMenu_ = nullptr;
    QActionGroup* speedGroup_ = nullptr;
};
