#pragma once

#include <QMediaPlayer>
#include <QString>
#include <QWidget>

class QActionGroup;
class QAudioOutput;
class QContextMenuEvent;
class QFile;
class QLabel;
class QMenu;
class QSlider;
class QToolButton;

namespace platform {

// The embedded media player with its transport bar: play/pause, stop, a
// position bar that seeks, elapsed and total time, mute and volume, and the
// play speed in its context menu. From the keyboard, Space plays or pauses
// and Left and Right seek by five seconds wherever the focus is in the bar,
// but for the stop and mute buttons, which Space presses, and the volume
// bar, which the arrows move. It starts playing as soon as it is given
// an address and never shows a dialog: a file it cannot open or play leaves a
// quiet line of text in the bar.
//
// The file is opened here, at once, and the player reads it through that
// open handle, so the caller may rename the file right after `setSource` (it is
// played under a temporary name that is renamed back straight away) and the
// lecture still plays to its end.
class MediaPlayer : public QWidget {
    Q_OBJECT

public:
    explicit MediaPlayer(QWidget* parent = nullptr);
    ~MediaPlayer() override;

    // The address last set, as given; "" until one is set.
    QString source() const { return source_; }
    // Replaces whatever was playing by the local file `path` and starts it.
    // An empty path stops and empties the player; a path that cannot be
    // opened plays nothing.
    void setSource(const QString& path);

    // The transport commands.
    void play();
    void pause();
    void stop();

    // Volume 0 to 100 as the slider shows it; loudness follows the slider,
    // not the raw amplitude.
    int volume() const;
    void setVolume(int volume);
    bool isMuted() const;
    void setMuted(bool muted);

    // The play speed chosen by the user; it carries over to the next file.
    qreal playbackRate() const { return rate_; }
    void setPlaybackRate(qreal rate);

    // The quiet status line of the bar ("正在播放", "已暂停", ...).
    QString statusText() const;

    // The back end playing the current file; null until a file is set.
    QMediaPlayer* player() const { return player_; }
    // The sound output, made on first use.
    QAudioOutput* audioOutput();
    QMenu* contextMenu() const { return contextMenu_; }
    // The controls the keyboard reaches, in the order Tab should take them.
    QList<QWidget*> controls() const;
    QMenu* speedMenu() const { return speedMenu_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makePlayer();
    void dropPlayer();
    void replacePlayer();
    void buildTransportBar();
    void buildContextMenu();
    // The tool tip and the name a screen reader reads.
    static void nameButton(QToolButton* button, const QString& name);
    void togglePlay();
    void seekTo(qint64 position);
    void seekBy(qint64 step);
    void showPosition(qint64 position);
    void showDuration(qint64 duration);
    void showState();
    void onMediaStatus(QMediaPlayer::MediaStatus status);
    void applyVolume();
    void showMuted(bool muted);
    void checkCurrentSpeed();
    bool isPlaying() const;
    qint64 duration() const;

    QString source_;
    QFile* file_ = nullptr;
    bool cannotPlay_ = false;
    qreal rate_ = 1.0;
    bool muted_ = false;
    bool rateOwedToNewMedia_ = false;

    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audioOutput_ = nullptr;

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

}  // namespace platform
