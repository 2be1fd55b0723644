// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/FavouritePlayer.h"

#include "download/PlayRename.h"
#include "format/FavouriteFileName.h"
#include "format/VisibleControls.h"
#include "playback/LectureSequence.h"
#include "playback/ListeningMemory.h"
#include "views/PageModel.h"

#include <utility>

namespace {

// What the desktop's player controls show of a stored lecture: its name's
// Title "%" Detail "$" Note ".zip", with controls made visible as in its row
// (a file put into the folder by hand may hold any).
LectureTags storedLectureTags(const QString& storedName)
{
    const QString name =
        withVisibleControls(QStringView(storedName).chopped(storedName.endsWith(QStringLiteral(".zip")) ? 4 : 0));
    const qsizetype percent = name.indexOf(u'%');
    const qsizetype dollar = name.indexOf(u'$', percent + 1);
    if (percent < 0 || dollar < 0)
        return {name, {}, {}};
    return {name.first(percent), name.sliced(percent + 1, dollar - percent - 1), name.sliced(dollar + 1)};
}

}  // namespace

FavouritePlayer::FavouritePlayer(PageModel& model, ListeningMemory& listening, LectureSequence& sequence,
                                 QString favouritesFolder, QObject* parent)
    : QObject(parent),
      model_(model),
      listening_(listening),
      sequence_(sequence),
      favouritesFolder_(std::move(favouritesFolder))
{
    connect(&sequence_, &LectureSequence::playRequested, this, &FavouritePlayer::playStored);
}

FavouritePlayer::~FavouritePlayer()
{
    files_.finish();
    // Renamed, but the event loop ended before the window heard of it: the
    // player never had the file.
    if (renaming_ && !renaming_->back())
        renaming_->back();
}

void FavouritePlayer::play(int entry)
{
    QStringList storedNames = model_.list(model_.view());
    switch (model_.view()) {
    case PageView::Catalogue:
        return;
    case PageView::Lectures:
    case PageView::Found:
        for (QString& line : storedNames)
            line = lectureFileName(line).value_or(QString());
        break;
    case PageView::Favourites:
        break;
    }
    const QString storedName = storedNames.value(entry);
    if (storedName.isEmpty())
        return;
    sequence_.startFrom(storedNames, storedName);
    // Pressed again on the lecture playing or paused: it goes on from where
    // it is, as the listener means, instead of starting over.
    if (!renaming_ && listening_.resume(storedName))
        return;
    playStored(storedName);
}

void FavouritePlayer::playStored(const QString& storedName)
{
    asked_ = storedName;
    if (!renaming_)
        renameAsked();
}

void FavouritePlayer::renameAsked()
{
    const QString storedName = std::exchange(asked_, QString());
    renaming_ = std::make_shared<PlayRename>(favouritesFolder_);
    files_.run([rename = renaming_, storedName] { return rename->toPlayName(storedName); },
               [this, storedName](const std::optional<QString>& playPath) { renamed(storedName, playPath); });
}

void FavouritePlayer::renamed(const QString& storedName, const std::optional<QString>& playPath)
{
    // Another lecture pressed meanwhile plays instead of this one.
    if (playPath && asked_.isEmpty())
        listening_.play(storedName, *playPath, storedLectureTags(storedName));
    // The player holds the file open by now, so the rename back cannot take
    // the lecture away from it; a second try covers a rename that lost a
    // race with something else touching the folder.
    files_.run([rename = std::exchange(renaming_, nullptr)] {
        if (!rename->back())
            rename->back();
    });
    if (!asked_.isEmpty())
        renameAsked();
}
