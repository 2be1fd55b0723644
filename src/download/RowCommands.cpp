// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/RowCommands.h"

#include "catalogue/RowCaptions.h"
#include "catalogue/ServerTexts.h"
#include "catalogue/TextFetch.h"
#include "download/DownloadFailureBox.h"
#include "download/DownloadLog.h"
#include "download/PlayRename.h"
#include "format/CatalogueLines.h"
#include "format/DecodeAddress.h"
#include "format/FavouriteFileName.h"
#include "format/LibraryLog.h"
#include "format/RecordFields.h"
#include "format/VisibleControls.h"
#include "parts/CurrentView.h"
#include "parts/Notices.h"
#include "parts/PageEntries.h"
#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "parts/ViewBar.h"
#include "platform/host/HostOperations.h"
#include "platform/host/IntervalTimer.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/ScrollBar.h"
#include "playback/ListeningMemory.h"
#include "views/Pager.h"
#include "views/ViewSwitcher.h"

#include <QTimer>

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

// received / total * 100 with a half rounded up, decided on the exact
// quotient: 285 of 1000 is 28.5 and shows 29, where the nearest double
// (28.499...) would show 28.
qint64 wholePercent(qint64 received, qint64 total)
{
    const auto twice = static_cast<__int128>(received) * 200 + total;
    return static_cast<qint64>(twice / (static_cast<__int128>(total) * 2));
}

}  // namespace

RowCommands::RowCommands(Parts parts, Pager& pager, ViewSwitcher& views, platform::NetworkAccess& network,
                         const StoredAddresses& addresses, QString favouritesFolder, QWidget* window)
    : QObject(window),
      parts_(parts),
      pager_(pager),
      views_(views),
      network_(network),
      addresses_(addresses),
      favouritesFolder_(std::move(favouritesFolder)),
      window_(window),
      failureBox_(new DownloadFailureBox(window))
{
}

RowCommands::~RowCommands() = default;

void RowCommands::setDownloadQueue(DownloadQueue* queue)
{
    if (downloadQueue_) {
        downloadQueue_->disconnect(this);
        downloadQueue_->disconnect(&parts_.model);
    }
    downloadQueue_ = queue;
    if (!queue) {
        parts_.model.setDownloadSource({});
        return;
    }
    // The rows ask the queue how each lecture stands, by the file it is
    // stored in, and hear of it when that changes.
    parts_.model.setDownloadSource({
        [this](const QString& line) { return targetPath(line).value_or(QString()); },
        [queue](const QString& target) { return rowDownload(queue->state(target)); },
    });
    connect(queue, &DownloadQueue::stateChanged, &parts_.model, &PageModel::downloadChanged);
    connect(
        queue, &DownloadQueue::finished, this,
        [this](const QString&, const QString& title, const DownloadResult& result) { downloadEnded(title, result); });
    connect(queue, &DownloadQueue::emptied, this, &RowCommands::queueEmptied);
}

void RowCommands::actionButtonReleased(int row)
{
    switch (parts_.viewBar.currentView->value()) {
    case PageView::Catalogue:
        enterConference(row);
        break;
    case PageView::Lectures:
        downloadOrCancel(row);
        break;
    case PageView::Favourites:
        playFavourite(row);
        break;
    }
}

void RowCommands::enterConference(int row)
{
    const QString address = builtInAddress(addresses_.conferenceListBase)
        + lectureListFileName(parts_.pageList.rows[row].subtitle->caption());
    // A second 进 入 replaces the first: the listener changed their mind.
    listFetch_ = std::make_unique<TextFetch>(network_, address, kServerCharset);
    connect(listFetch_.get(), &TextFetch::finished, this,
            [this, address](const QString& text) { lectureListRead(address, text); });
    parts_.model.setLoadingRow(row + parts_.pageList.pageScrollBar->position());
}

void RowCommands::lectureListRead(const QString& address, const QString& text)
{
    // Deleted later: this runs inside its signal.
    listFetch_.release()->deleteLater();
    parts_.model.setLoadingRow(-1);
    QStringList lectures;
    splitAndKeep(text, lectures);
    if (lectures.isEmpty()) {
        qCWarning(lcLibrary).nospace() << "the lecture list " << address << " holds no lecture line (" << text.size()
                                       << " characters read)";
        // The listener stays where they are, with the lecture playing and
        // the download running: a list that cannot be read now may be read
        // in a moment.
        showNotice(kNetworkFailureMessage, QMessageBox::Warning, window_);
        return;
    }
    parts_.entries.lectureLines = std::move(lectures);
    pager_.showLecturePage();
    views_.colourOptions(PageView::Lectures);
    views_.choose(PageView::Lectures);
    parts_.viewBar.lecturesOption->setEnabled(true);
}

void RowCommands::downloadOrCancel(int row)
{
    const QString line = parts_.entries.lectureLines.value(row + parts_.pageList.pageScrollBar->position());
    const std::optional<QString> target = targetPath(line);
    if (target && downloadQueue_ && downloadQueue_->state(*target).phase != DownloadQueue::State::Phase::Gone) {
        // The user's own cancel: nothing to tell them.
        downloadQueue_->cancel(*target);
        return;
    }
    const QString title = withVisibleControls(recordTitle(line).value_or(line));
    const std::optional<QString> source = lectureDownloadAddress(line);
    if (!target || !source || !downloadQueue_) {
        qCWarning(lcDownload) << "not downloading" << line << "- it names no address, or no name a file can have";
        emit downloadFinished(title, false);
        failureBox_->report();
        return;
    }
    downloadQueue_->enqueue(*source, *target, title);
}

std::optional<QString> RowCommands::targetPath(const QString& lectureLine) const
{
    const std::optional<QString> savedName = lectureSavedName(lectureLine);
    const std::optional<QString> fileName = savedName ? favouriteFileName(*savedName) : std::nullopt;
    if (!fileName)
        return std::nullopt;
    return favouritesFolder_ + u'/' + *fileName;
}

PageModel::Download RowCommands::rowDownload(const DownloadQueue::State& state)
{
    switch (state.phase) {
    case DownloadQueue::State::Phase::Waiting:
        return {PageModel::DownloadState::Waiting, -1};
    case DownloadQueue::State::Phase::Running:
        return {PageModel::DownloadState::Running,
                state.total > 0 ? static_cast<int>(wholePercent(state.received, state.total)) : -1};
    case DownloadQueue::State::Phase::Gone:
        break;
    }
    return {};
}

void RowCommands::downloadEnded(const QString& title, const DownloadResult& result)
{
    // A job the network core cut short as it closed is no failure to tell of.
    if (result.outcome() == DownloadResult::Outcome::Cancelled)
        return;
    emit downloadFinished(title, result.isComplete());
    if (result.isComplete()) {
        storedSinceEmptied_ = true;
        return;
    }
    failureBox_->report();
}

void RowCommands::queueEmptied()
{
    // The favourites follow once, after the last lecture, not after each.
    if (std::exchange(storedSinceEmptied_, false))
        parts_.favouritesTimer.setEnabled(true);
}

void RowCommands::playFavourite(int row)
{
    const QString storedName = parts_.entries.favouriteNames.value(row + parts_.pageList.pageScrollBar->position());
    if (storedName.isEmpty())
        return;
    PlayRename rename(parts_.entries.favouritesListing.path());
    const std::optional<QString> playPath = rename.toPlayName(storedName);
    if (!playPath)
        return;
    parts_.listening.play(storedName, *playPath, storedLectureTags(storedName));
    // The player holds the file open by now, so the rename back cannot take
    // the lecture away from it; a second try covers a rename that lost a
    // race with something else touching the folder.
    if (!rename.back())
        rename.back();
}
