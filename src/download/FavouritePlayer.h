// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/files/FileThread.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class LectureSequence;
class ListeningMemory;
class PageModel;
class PlayRename;

// 播 放 on a stored lecture, in the favourites or among a conference's
// lectures: plays the file its own entry names from where it was left (the
// lecture playing or paused simply goes on), under its play name for as
// long as the player opens it (PlayRename), and makes the list it was
// pressed in the one listening goes on along (LectureSequence). The renames and their record wait for the disk, so
// they are made on a thread of their own and the lecture starts once its
// rename has been made; a press while one is being made replaces what it
// was for: the last lecture pressed is the one that plays.
class FavouritePlayer : public QObject {
    Q_OBJECT

public:
    FavouritePlayer(PageModel& model, ListeningMemory& listening, LectureSequence& sequence, QString favouritesFolder,
                    QObject* parent = nullptr);
    // Gives a lecture still under its play name its own back: only once
    // the event loop has ended.
    ~FavouritePlayer() override;

    // Plays the stored lecture of that entry of the favourites or of the
    // conference's lectures.
    void play(int entry);
    // Plays the stored lecture of that name.
    void playStored(const QString& storedName);

private:
    void renameAsked();
    void renamed(const QString& storedName, const std::optional<QString>& playPath);

    PageModel& model_;
    ListeningMemory& listening_;
    LectureSequence& sequence_;
    QString favouritesFolder_;
    // The lecture pressed while another was being renamed: it comes next.
    QString asked_;
    // From the press until its rename back is handed to the thread.
    std::shared_ptr<PlayRename> renaming_;
    platform::FileThread files_;
};
