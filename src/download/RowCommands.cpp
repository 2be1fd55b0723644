// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/RowCommands.h"

#include "catalogue/CatalogueLines.h"
#include "catalogue/DecodeAddress.h"
#include "catalogue/LibraryLog.h"
#include "catalogue/Pager.h"
#include "catalogue/RecordFields.h"
#include "catalogue/RowCaptions.h"
#include "catalogue/ServerTexts.h"
#include "catalogue/TextFetch.h"
#include "catalogue/VisibleControls.h"
#include "download/DownloadEngine.h"
#include "download/DownloadLog.h"
#include "download/PlayRename.h"
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
#include "views/FavouriteFileName.h"
#include "views/ViewSwitcher.h"

#include <QTimer>

namespace {

const QString kDownloadCaption = QStringLiteral("下 载");
const QString kCancelCaption = QStringLiteral("取 消");
const QString kDownloadFailedMessage = QStringLiteral("下载失败!");

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
      window_(window)
{
    // The mark goes with its conference as the page scrolls, and comes back
    // with the catalogue; deferred, as a view switch clears the labels
    // after it has set the view.
    connect(parts_.pageList.pageScrollBar, &platform::ScrollBar::changed, this, &RowCommands::showLoadingMark);
    connect(parts_.viewBar.currentView, &CurrentView::changed, this,
            [this] { QTimer::singleShot(0, this, &RowCommands::showLoadingMark); });
}

RowCommands::~RowCommands() = default;

void RowCommands::setDownloadEngine(DownloadEngine* engine)
{
    if (downloadEngine_)
        downloadEngine_->disconnect(this);
    downloadEngine_ = engine;
    if (engine)
        connect(engine, &DownloadEngine::finished, this, &RowCommands::downloadEnded);
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
    loadingConference_ = row + parts_.pageList.pageScrollBar->position();
    showLoadingMark();
}

void RowCommands::lectureListRead(const QString& address, const QString& text)
{
    // Deleted later: this runs inside its signal.
    listFetch_.release()->deleteLater();
    loadingConference_ = -1;
    showLoadingMark();
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
    for (PageRow& pageRow : parts_.pageList.rows) {
        pageRow.actionButton->setText(kDownloadCaption);
        pageRow.percentage->setCaption(QString());
    }
    pager_.showLecturePage();
    views_.colourOptions(PageView::Lectures);
    views_.choose(PageView::Lectures);
    parts_.viewBar.lecturesOption->setEnabled(true);
}

void RowCommands::showLoadingMark()
{
    // In the catalogue the percentage labels are free for it.
    if (parts_.viewBar.currentView->value() != PageView::Catalogue)
        return;
    const int first = parts_.pageList.pageScrollBar->position();
    for (int i = 0; i < PageList::kRows; ++i)
        parts_.pageList.rows[i].percentage->setCaption(first + i == loadingConference_ ? kLoadingCaption : QString());
}

void RowCommands::downloadOrCancel(int row)
{
    RowButton* button = parts_.pageList.rows[row].actionButton;
    if (button->text() != kDownloadCaption) {
        button->setText(kDownloadCaption);
        parts_.pageList.rows[row].percentage->setCaption(QString());
        // A button left at 取 消 by a download that was stored cancels nothing.
        if (!downloadEngine_ || !downloadEngine_->isDownloading())
            return;
        downloadEngine_->abort();
        // Told as any download that stored nothing is, once the cancel
        // press has been handled.
        QTimer::singleShot(0, window_,
                           [window = window_] { showNotice(kDownloadFailedMessage, QMessageBox::NoIcon, window); });
        return;
    }

    const QString line = parts_.entries.lectureLines.value(row + parts_.pageList.pageScrollBar->position());
    const std::optional<QString> savedName = lectureSavedName(line);
    const std::optional<QString> source = lectureDownloadAddress(line);
    const std::optional<QString> fileName = savedName ? favouriteFileName(*savedName) : std::nullopt;
    if (!fileName || !source) {
        qCWarning(lcDownload) << "not downloading" << line << "- it names no address, or no name a file can have";
    } else if (downloadEngine_ && downloadEngine_->start(*source, favouritesFolder_ + u'/' + *fileName)) {
        button->setText(kCancelCaption);
        downloadRow_ = row;
        downloadLine_ = line;
        return;
    }
    emit downloadFinished(withVisibleControls(recordTitle(line).value_or(line)), false);
    showNotice(kDownloadFailedMessage, QMessageBox::NoIcon, window_);
}

void RowCommands::downloadEnded(const DownloadResult& result)
{
    // A cancel, the user's or the closing window's, is neither stored nor failed.
    if (result.outcome() == DownloadResult::Outcome::Cancelled)
        return;
    emit downloadFinished(withVisibleControls(recordTitle(downloadLine_).value_or(downloadLine_)), result.isComplete());
    if (result.isComplete()) {
        parts_.favouritesTimer.setEnabled(true);
        return;
    }
    parts_.pageList.rows[downloadRow_].actionButton->setText(kDownloadCaption);
    showNotice(kDownloadFailedMessage, QMessageBox::NoIcon, window_);
}

void RowCommands::showProgress(qint64 received, qint64 total, qint32)
{
    // An unknown total gives no percentage; the label keeps what it shows.
    // In the favourites the label says how far a lecture has been heard.
    if (total <= 0 || parts_.viewBar.currentView->value() == PageView::Favourites)
        return;
    parts_.pageList.rows[downloadRow_].percentage->setCaption(QString::number(wholePercent(received, total)) + u'%');
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
