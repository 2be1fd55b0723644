// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/ListeningRecord.h"
#include "playback/LectureTags.h"
#include "playback/Playback.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QTimer;
namespace platform {
class LatestFileWriter;
}

// Where each stored lecture was left, as people who listen to long lectures
// in pieces expect: the place of the lecture playing is kept whenever the
// listener stops listening (a pause, a stop, a jump, another lecture, the
// program ending) and every quarter minute while it plays, so even a
// killed program loses little. Playing the lecture again goes back a few
// seconds before that place, where the thread was. A lecture heard to
// within a quarter minute of its end is listened: it starts again from its
// beginning. The places live in the favourites folder's listening record,
// written on a thread of its own: the window never waits for the disk, and
// the last place is on disk by the time the program has ended.
class ListeningMemory : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kRewind = 5000;
    static constexpr qint64 kListenedMargin = 15000;
    static constexpr std::chrono::seconds kKeepInterval{15};

    ListeningMemory(Playback& playback, QString folder, QObject* parent = nullptr);
    // Waits for the record's last write: only once the event loop has ended.
    ~ListeningMemory() override;

    // Reads the record, letting go of the places of lectures that are no
    // longer among `storedNames`. Nothing is written before this.
    void load(const QStringList& storedNames);

    // Plays the stored lecture `storedName`, handed to the player as the
    // file `path`, from where it was left. The place of the lecture playing
    // until now is kept first.
    void play(const QString& storedName, const QString& path, const LectureTags& tags);
    // Goes on with `storedName` when it is the lecture playing or paused;
    // false when it is not.
    bool resume(const QString& storedName);
    // The stored name of the lecture playing (or last played), "" for none.
    QString current() const { return current_; }

    // Nothing for a lecture never played.
    std::optional<ListeningPlace> placeOf(const QString& storedName) const;
    // Keeps where the lecture playing is, now: the program is ending.
    void keepNow();
    // The lecture has been deleted: its place goes with it.
    void forget(const QString& storedName);

signals:
    void placeChanged(const QString& storedName);

private:
    void keep(qint64 position);
    void store(const QString& storedName, std::optional<ListeningPlace> place);

    Playback& playback_;
    QString folder_;
    ListeningPlaces places_;
    // False while a record is there that could not be read: the places are
    // then kept for this run only.
    bool recordWritable_ = false;
    std::unique_ptr<platform::LatestFileWriter> record_;
    QString current_;
    // The last place the lecture was seen at: a stop reports the start
    // before it says it stopped.
    qint64 lastPosition_ = 0;
    // The jump to where a lecture resumes is not a place the listener
    // chose; kept, it would walk the place back at every start.
    qint64 resumeJump_ = 0;
    QTimer* keepTimer_ = nullptr;
};
