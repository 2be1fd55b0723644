// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

class ListeningMemory;
class PageModel;

// 播 放 on a stored lecture: plays the file its own favourites entry names
// from where it was left, under its play name for as long as the player
// opens it (PlayRename).
class FavouritePlayer : public QObject {
    Q_OBJECT

public:
    FavouritePlayer(PageModel& model, ListeningMemory& listening, QString favouritesFolder, QObject* parent = nullptr);

    // Plays the stored lecture of that favourites entry.
    void play(int entry);

private:
    PageModel& model_;
    ListeningMemory& listening_;
    QString favouritesFolder_;
};
