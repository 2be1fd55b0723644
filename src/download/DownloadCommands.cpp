// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadCommands.h"

#include "download/DownloadFailureBox.h"
#include "download/DownloadLog.h"
#include "format/FavouriteFileName.h"
#include "format/RecordFields.h"
#include "format/VisibleControls.h"

#include <utility>

namespace {

// received / total * 100 with a half rounded up, decided on the exact
// quotient: 285 of 1000 is 28.5 and shows 29, where the nearest double
// (28.499...) would show 28.
qint64 wholePercent(qint64 received, qint64 total)
{
    const auto twice = static_cast<__int128>(received) * 200 + total;
    return static_cast<qint64>(twice / (static_cast<__int128>(total) * 2));
}

}  // namespace

DownloadCommands::DownloadCommands(PageModel& model, QString favouritesFolder, StoredCheck isStored, QWidget* window)
    : QObject(window),
      model_(model),
      favouritesFolder_(std::move(favouritesFolder)),
      isStored_(std::move(isStored)),
      failureBox_(new DownloadFailureBox(window))
{
}

DownloadCommands::~DownloadCommands() = default;

void DownloadCommands::setDownloadQueue(DownloadQueue* queue)
{
    if (downloadQueue_) {
        downloadQueue_->disconnect(this);
        downloadQueue_->disconnect(&model_);
    }
    downloadQueue_ = queue;
    if (!queue) {
        model_.setDownloadSource({});
        return;
    }
    // The rows ask the queue how each lecture stands, by the file it is
    // stored in, and hear of it when that changes.
    model_.setDownloadSource({
        [this](const QString& line) { return targetPath(line).value_or(QString()); },
        [this, queue](const QString& target) {
            PageModel::Download download = rowDownload(queue->state(target));
            if (download.state == PageModel::DownloadState::None
                && isStored_(target.sliced(favouritesFolder_.size() + 1)))
                download.state = PageModel::DownloadState::Stored;
            if (download.state == PageModel::DownloadState::Waiting && queue->isHeld())
                download.state = PageModel::DownloadState::WaitingForNetwork;
            return download;
        },
    });
    connect(queue, &DownloadQueue::stateChanged, &model_, &PageModel::downloadChanged);
    connect(queue, &DownloadQueue::finished, this, &DownloadCommands::downloadEnded);
}

void DownloadCommands::downloadOrCancel(int entry)
{
    if (!model_.isLecture(entry))
        return;
    const QString line = model_.entry(entry);
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
    // Never a press that does nothing: a lecture stored meanwhile (or put
    // into the folder by hand) shows as stored from now on.
    if (downloadQueue_->enqueue(*source, *target, title) == DownloadQueue::Admission::AlreadyStored)
        storedNow(*target);
}

void DownloadCommands::storedNow(const QString& targetPath)
{
    emit lectureStored(targetPath.sliced(favouritesFolder_.size() + 1));
    model_.downloadChanged(targetPath);
}

std::optional<QString> DownloadCommands::targetPath(const QString& lectureLine) const
{
    const std::optional<QString> fileName = lectureFileName(lectureLine);
    if (!fileName)
        return std::nullopt;
    return favouritesFolder_ + u'/' + *fileName;
}

PageModel::Download DownloadCommands::rowDownload(const DownloadQueue::State& state)
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

void DownloadCommands::downloadEnded(const QString& targetPath, const QString& title, const DownloadResult& result)
{
    // A job the network core cut short as it closed is no failure to tell of.
    if (result.outcome() == DownloadResult::Outcome::Cancelled)
        return;
    if (result.isComplete())
        storedNow(targetPath);
    emit downloadFinished(title, result.isComplete());
    if (!result.isComplete())
        failureBox_->report();
}
