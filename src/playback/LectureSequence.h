// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Playback;

// The list a lecture was started from, so that listening goes on as a
// conference's day of talks does: when a lecture ends, the next stored one
// of that list plays (the favourites in their order, or a conference's
// lectures in theirs), and the desktop's Next and Previous move along it.
// Lectures of the list that are not stored (never downloaded, deleted or
// renamed since) are passed over, and so is one that cannot be played once
// the listening has gone on to it, with the reason in the "kardelo.player"
// log rather than a box per lecture. Going on is the listener's choice,
// kept across runs; on by default, as listeners of podcasts expect.
class LectureSequence : public QObject {
    Q_OBJECT

public:
    using StoredCheck = std::function<bool(const QString& storedName)>;

    // isStored says whether a lecture of a list is stored now.
    LectureSequence(Playback& playback, StoredCheck isStored, QObject* parent = nullptr);

    // The listener pressed `storedName` in `storedNames` (the list's
    // lectures by the name they are, or would be, stored under, in its
    // order).
    void startFrom(const QStringList& storedNames, const QString& storedName);
    QString current() const { return current_; }

    bool continuous() const { return continuous_; }
    void setContinuous(bool on);
    // Asked when a lecture ends: true keeps the next from starting (a sleep
    // timer set to the end of the lecture).
    void setHoldAtEnd(std::function<bool()> holds) { holdsAtEnd_ = std::move(holds); }

    // The stored lectures after and before the current one, nearest first.
    std::optional<QString> next() const;
    std::optional<QString> previous() const;
    void goNext();
    void goPrevious();

signals:
    // The lecture to play now; the one who plays lectures plays it.
    void playRequested(const QString& storedName);
    // What next() and previous() give may have changed.
    void neighboursChanged();
    void continuousChanged(bool on);

private:
    std::optional<QString> nearestStored(int step) const;
    void moveTo(const QString& storedName);
    void statusChanged();

    Playback& playback_;
    StoredCheck isStored_;
    QStringList names_;
    QString current_;
    bool continuous_ = true;
    std::function<bool()> holdsAtEnd_;
    // The current lecture was reached by going on, not pressed: one that
    // cannot be played is passed over.
    bool reachedByGoingOn_ = false;
};
