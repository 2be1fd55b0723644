// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/ListeningMemory.h"

#include "playback/ListeningRecordFile.h"

#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <utility>

ListeningMemory::ListeningMemory(Playback& playback, QString folder, QObject* parent)
    : QObject(parent),
      playback_(playback),
      folder_(std::move(folder)),
      record_(listeningRecord::writerFor(folder_)),
      keepTimer_(new QTimer(this))
{
    keepTimer_->setInterval(kKeepInterval);
    connect(keepTimer_, &QTimer::timeout, this, [this] { keep(playback_.position()); });

    // A stop goes back to the start; the place kept is where it was before.
    connect(&playback_, &Playback::positionChanged, this, [this](qint64 position) {
        if (position > 0)
            lastPosition_ = position;
    });
    connect(&playback_, &Playback::seeked, this, [this](qint64 position) {
        lastPosition_ = position;
        if (std::exchange(resumeJump_, 0) != position)
            keep(position);
    });
    connect(&playback_, &Playback::playbackStateChanged, this, [this](Playback::State state) {
        if (state == Playback::State::Playing) {
            keepTimer_->start();
            return;
        }
        keepTimer_->stop();
        keep(state == Playback::State::Paused ? playback_.position() : lastPosition_);
    });
    connect(&playback_, &Playback::statusChanged, this, [this](Playback::Status status) {
        if (status == Playback::Status::Ended)
            keep(playback_.duration());
    });
}

ListeningMemory::~ListeningMemory() = default;

void ListeningMemory::load(const QStringList& storedNames)
{
    const std::optional<ListeningPlaces> read = listeningRecord::read(folder_);
    recordWritable_ = read.has_value();
    places_ = read.value_or(ListeningPlaces{});
    const QSet<QString> present(storedNames.cbegin(), storedNames.cend());
    const qsizetype before = places_.size();
    places_.removeIf([&present](const auto& place) { return !present.contains(place.key()); });
    if (places_.size() != before && recordWritable_)
        record_->write(listeningRecord::format(places_));
}

void ListeningMemory::play(const QString& storedName, const QString& path, const LectureTags& tags)
{
    keepNow();
    const std::optional<ListeningPlace> place = placeOf(storedName);
    const qint64 startAt = place && !place->listened ? std::max<qint64>(place->position - kRewind, 0) : 0;
    // Until the new lecture says where it is, nothing of the old one may be
    // taken for it.
    current_.clear();
    lastPosition_ = startAt;
    resumeJump_ = startAt;
    playback_.setSource(path, tags, startAt);
    current_ = storedName;
}

bool ListeningMemory::resume(const QString& storedName)
{
    const Playback::State state = playback_.playbackState();
    if (storedName != current_ || (state != Playback::State::Playing && state != Playback::State::Paused))
        return false;
    playback_.play();
    return true;
}

std::optional<ListeningPlace> ListeningMemory::placeOf(const QString& storedName) const
{
    const auto place = places_.constFind(storedName);
    return place == places_.cend() ? std::nullopt : std::optional(*place);
}

void ListeningMemory::keepNow()
{
    if (playback_.playbackState() == Playback::State::Playing || playback_.playbackState() == Playback::State::Paused)
        keep(playback_.position());
}

void ListeningMemory::forget(const QString& storedName)
{
    store(storedName, std::nullopt);
}

void ListeningMemory::keep(qint64 position)
{
    if (current_.isEmpty() || !playback_.canPlay() || playback_.duration() <= 0)
        return;
    // A lecture deleted while it plays keeps playing from its open file;
    // it must not come back into the record. Just after it starts it may
    // still be under the name it was opened by (a play name) rather than its
    // own: that name is asked first, as the rename back goes that way.
    if (!QFileInfo::exists(playback_.source()) && !QFileInfo::exists(folder_ + u'/' + current_)) {
        store(current_, std::nullopt);
        return;
    }
    const bool listened = position >= playback_.duration() - kListenedMargin;
    if (listened)
        store(current_, ListeningPlace{0, true});
    else if (position > 0 || places_.contains(current_))
        store(current_, ListeningPlace{position, false});
}

void ListeningMemory::store(const QString& storedName, std::optional<ListeningPlace> place)
{
    const std::optional<ListeningPlace> old = placeOf(storedName);
    if (old == place)
        return;
    if (place)
        places_.insert(storedName, *place);
    else
        places_.remove(storedName);
    if (recordWritable_)
        record_->write(listeningRecord::format(places_));
    emit placeChanged(storedName);
}
