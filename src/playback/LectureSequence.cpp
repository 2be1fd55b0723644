// SPDX-License-Identifier: GPL-3.0-or-later

#include "playback/LectureSequence.h"

#include "playback/Playback.h"

#include <QLoggingCategory>
#include <QSettings>

#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcSequence, "kardelo.player")

const QString kContinuousKey = QStringLiteral("player/continuous");

// The user's own settings file, ~/.config/kardelo/kardelo.conf: the
// favourites folder holds what belongs to the lectures, this what belongs
// to the listener.
QSettings listenerSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kardelo"),
                     QStringLiteral("kardelo"));
}

}  // namespace

LectureSequence::LectureSequence(Playback& playback, StoredCheck isStored, QObject* parent)
    : QObject(parent),
      playback_(playback),
      isStored_(std::move(isStored)),
      continuous_(listenerSettings().value(kContinuousKey, true).toBool())
{
    connect(&playback_, &Playback::statusChanged, this, &LectureSequence::statusChanged);
}

void LectureSequence::startFrom(const QStringList& storedNames, const QString& storedName)
{
    names_ = storedNames;
    current_ = storedName;
    reachedByGoingOn_ = false;
    emit neighboursChanged();
}

void LectureSequence::setContinuous(bool on)
{
    if (on == continuous_)
        return;
    continuous_ = on;
    QSettings settings = listenerSettings();
    settings.setValue(kContinuousKey, on);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qCWarning(lcSequence) << "cannot keep the choice to go on to the next lecture in" << settings.fileName();
    emit continuousChanged(on);
}

std::optional<QString> LectureSequence::nearestStored(int step) const
{
    const qsizetype at = names_.indexOf(current_);
    if (at < 0)
        return std::nullopt;
    for (qsizetype i = at + step; i >= 0 && i < names_.size(); i += step) {
        if (names_[i] != current_ && isStored_(names_[i]))
            return names_[i];
    }
    return std::nullopt;
}

std::optional<QString> LectureSequence::next() const
{
    return nearestStored(1);
}

std::optional<QString> LectureSequence::previous() const
{
    return nearestStored(-1);
}

void LectureSequence::goNext()
{
    if (const std::optional<QString> name = next())
        moveTo(*name);
}

void LectureSequence::goPrevious()
{
    if (const std::optional<QString> name = previous())
        moveTo(*name);
}

void LectureSequence::moveTo(const QString& storedName)
{
    current_ = storedName;
    reachedByGoingOn_ = true;
    emit neighboursChanged();
    emit playRequested(storedName);
}

void LectureSequence::statusChanged()
{
    switch (playback_.status()) {
    case Playback::Status::Ended:
        if (!continuous_ || (holdsAtEnd_ && holdsAtEnd_()))
            return;
        goNext();
        return;
    case Playback::Status::CannotOpen:
    case Playback::Status::CannotPlay:
        // Pressed, it stays with its status line in the bar; gone on to, it
        // would end the listening at a lecture nobody chose.
        if (!std::exchange(reachedByGoingOn_, false) || current_.isEmpty())
            return;
        qCWarning(lcSequence) << "passing over" << current_ << "- it cannot be played";
        goNext();
        return;
    default:
        return;
    }
}
