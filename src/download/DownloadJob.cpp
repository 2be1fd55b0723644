// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadJob.h"

#include "download/DownloadLog.h"
#include "download/PartialDownload.h"
#include "format/ResponseDecision.h"
#include "platform/files/PoolJob.h"
#include "platform/host/MonotonicTick.h"
#include "platform/net/NetworkAccess.h"
#include "platform/net/Transfer.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>

using platform::Transfer;
using Outcome = DownloadResult::Outcome;

namespace {

DownloadResult cancelled()
{
    return {Outcome::Cancelled, QStringLiteral("cancelled")};
}

DownloadResult notTheFile(long status, const QString& why)
{
    const QString text = QStringLiteral("HTTP status %1").arg(status);
    return {Outcome::HttpStatus, why.isEmpty() ? text : text + u' ' + why, static_cast<int>(status)};
}

struct CommitOutcome {
    bool stored = false;
    QString errorString;
};

}  // namespace

// One request of the file: the whole of it, or the rest of the kept bytes.
struct DownloadJob::Attempt {
    bool continueKeptBytes = true;
    QByteArray address;  // as it is sent, and as the record keeps it
    qint64 resumeFrom = 0;  // the kept bytes asked to be continued
    qint64 offset = 0;  // where this body starts in the file
    qint64 written = 0;  // bytes of this body stored
    qint64 announced = 0;  // this body's Content-Length, 0 when none
    qint64 total = 0;  // the whole file's size, 0 when unknown
    bool decided = false;  // the answer's headers are in: continue or start afresh
    ResponseDecision decision;
    bool restartNeeded = false;
    bool writeFailed = false;
    bool refused = false;  // the answer was not the file asked for
    long refusedStatus = 0;
    QString refusal;

    // The body is dropped and the transfer stopped.
    bool refuse(long status, const QString& why)
    {
        refused = true;
        refusedStatus = status;
        refusal = why;
        return false;
    }
};

DownloadJob::DownloadJob(platform::NetworkAccess& network, QString address, QString targetPath, DownloadOptions options,
                         QObject* parent)
    : DownloadJob(network, std::move(address), std::move(targetPath), std::move(options),
                  &platform::monotonicMilliseconds, parent)
{
}

DownloadJob::DownloadJob(platform::NetworkAccess& network, QString address, QString targetPath, DownloadOptions options,
                         TickSource tickSource, QObject* parent)
    : QObject(parent),
      network_(network),
      address_(std::move(address)),
      targetPath_(std::move(targetPath)),
      options_(std::move(options)),
      tickSource_(std::move(tickSource))
{
}

DownloadJob::~DownloadJob()
{
    // Its receiver reaches into the attempt, which goes before it otherwise.
    transfer_.reset();
    spent_.reset();
}

void DownloadJob::start()
{
    if (started_)
        return;
    started_ = true;
    QTimer::singleShot(0, this, &DownloadJob::begin);
}

void DownloadJob::cancel()
{
    if (finished_ || committing_ || cancelled_)
        return;
    cancelled_ = true;
    // The transfer's finished, or the job's begin, concludes it.
    if (transfer_)
        transfer_->cancel();
    else
        start();
}

void DownloadJob::interrupt()
{
    if (finished_ || committing_)
        return;
    cancelled_ = true;
    finished_ = true;
    result_ = cancelled();
    transfer_.reset();
    spent_.reset();
    if (file_) {
        file_->keepForResume();
        qCDebug(lcDownload) << "interrupted the download of" << targetPath_
                            << (file_->kept() ? "- its bytes are kept for the next attempt" : "");
        file_.reset();
    }
}

void DownloadJob::begin()
{
    if (finished_)
        return;
    if (cancelled_)
        return conclude(cancelled());
    file_ = std::make_shared<PartialDownload>(targetPath_);
    if (!file_->nameFits())
        return conclude({Outcome::Refused, QStringLiteral("the name is longer than its file system allows")});
    if (!file_->open())
        return conclude({Outcome::File, file_->errorString()});
    attempt(true);
}

void DownloadJob::attempt(bool continueKeptBytes)
{
    transfer_.reset(network_.getStream(address_, options_.limits));
    attempt_ = std::make_unique<Attempt>();
    attempt_->continueKeptBytes = continueKeptBytes;
    attempt_->address = transfer_->address();
    attempt_->resumeFrom = continueKeptBytes ? file_->resumableBytes(attempt_->address) : 0;
    if (attempt_->resumeFrom > 0) {
        qCDebug(lcDownload) << "asking for" << targetPath_ << "from byte" << attempt_->resumeFrom;
        // The server sends the rest only if the file is still the one the
        // kept bytes came from, and the whole file otherwise.
        transfer_->requestRangeFrom(attempt_->resumeFrom, file_->record().validator);
    }
    transfer_->setReceiver([this](QByteArrayView bytes) { return received(bytes); });
    connect(transfer_.get(), &Transfer::progressed, this, [this] { notify(); });
    connect(transfer_.get(), &Transfer::finished, this, &DownloadJob::attemptEnded);
}

// Runs inside libcurl: it writes and decides, and reports nothing.
bool DownloadJob::received(QByteArrayView bytes)
{
    if (cancelled_)
        return false;
    if (!attempt_->decided && !decideOnHeaders())
        return false;
    // A body never runs past the length it announced, whatever its framing
    // (a chunked one can), nor a file without one past the largest lecture.
    Attempt& now = *attempt_;
    const qint64 body = now.written + bytes.size();
    if (now.decision.announced && body > *now.decision.announced)
        return now.refuse(transfer_->headers().status(),
                          QStringLiteral("sent more than the %1 bytes it announced").arg(*now.decision.announced));
    if (!now.decision.announced && now.offset + body > options_.largestFile)
        return now.refuse(
            transfer_->headers().status(),
            QStringLiteral("sent more than %1 bytes, more than any lecture, without announcing its length")
                .arg(options_.largestFile));
    if (!file_->append(bytes.data(), static_cast<size_t>(bytes.size()))) {
        attempt_->writeFailed = appendFailed_ = true;
        return false;
    }
    attempt_->written += bytes.size();
    return true;
}

// Whether the answer's body continues the kept bytes, starts the file
// afresh, or is not the file at all.
bool DownloadJob::decideOnHeaders()
{
    Attempt& now = *attempt_;
    now.decided = true;
    const platform::ResponseHeaders headers = transfer_->headers();
    const ResponseHead head{headers.status(), headers.value("Content-Length"), headers.value("Content-Range"),
                            headers.value("ETag"), headers.value("Last-Modified")};
    const PartialDownload::Record& kept = file_->record();
    now.decision = decideOnResponse(head, {now.resumeFrom, kept.total, kept.validator});
    now.announced = now.decision.announced.value_or(0);
    const bool aFile = now.decision.kind == ResponseDecision::Kind::ContinueKept
        || now.decision.kind == ResponseDecision::Kind::StartAfresh;
    if (aFile && now.decision.total > options_.largestFile)
        return now.refuse(head.status,
                          QStringLiteral("names a file of %1 bytes, larger than any lecture").arg(now.decision.total));
    switch (now.decision.kind) {
    case ResponseDecision::Kind::ContinueKept:
        now.offset = now.decision.offset;
        now.total = now.decision.total;
        return true;
    case ResponseDecision::Kind::StartAfresh:
        now.offset = 0;
        now.total = now.decision.total;
        if (!file_->restart({now.address, now.decision.validator, now.total})) {
            now.writeFailed = true;
            return false;
        }
        return true;
    case ResponseDecision::Kind::AskForWholeFile:
        now.restartNeeded = true;
        return false;
    case ResponseDecision::Kind::Refuse:
        return now.refuse(head.status, now.decision.refusal);
    }
    return false;
}

void DownloadJob::attemptEnded()
{
    std::optional<DownloadResult> result = judgeAttempt();
    transfer_->disconnect(this);
    spent_ = std::move(transfer_);
    if (result && result->isComplete()) {
        notify();
        // A cancel in that last report still wins.
        if (cancelled_)
            return conclude(cancelled());
        return commit();
    }
    if (result)
        return conclude(*result);
    if (attempt_->continueKeptBytes) {
        qCDebug(lcDownload) << "the kept bytes of" << targetPath_ << "were not continued: asking for the whole file";
        return attempt(false);
    }
    conclude(DownloadResult(Outcome::HttpStatus, QStringLiteral("no whole file")));
}

// Nothing when the kept bytes were not continued and the whole file is to
// be asked for; Complete when the body is the whole file, still to be
// stored.
std::optional<DownloadResult> DownloadJob::judgeAttempt()
{
    const Transfer::Result& ended = transfer_->result();
    Attempt& now = *attempt_;
    if (cancelled_)
        return cancelled();
    if (now.restartNeeded)
        return std::nullopt;
    if (now.refused)
        return notTheFile(now.refusedStatus, now.refusal);
    if (now.writeFailed)
        return DownloadResult(Outcome::File, file_->errorString());
    switch (ended.outcome) {
    case Transfer::Result::Outcome::Stopped:
    case Transfer::Result::Outcome::Cancelled:
        // Only a cancel stops a transfer without one of the reasons above.
        return cancelled();
    case Transfer::Result::Outcome::HttpError:
        if (now.resumeFrom > 0 && ended.httpStatus == 416)
            return std::nullopt;
        return notTheFile(ended.httpStatus, {});
    case Transfer::Result::Outcome::NetworkError:
        return DownloadResult(Outcome::Network, ended.errorString);
    case Transfer::Result::Outcome::Finished:
        break;
    }
    // Anything but a 2xx here (a 304, a redirect without a target) is not
    // the file that was asked for.
    if (ended.httpStatus < 200 || ended.httpStatus > 299)
        return notTheFile(ended.httpStatus, QStringLiteral("is not the file"));
    // An empty body never reached received().
    if (!now.decided && !decideOnHeaders()) {
        if (now.restartNeeded)
            return std::nullopt;
        if (now.refused)
            return notTheFile(now.refusedStatus, now.refusal);
        return DownloadResult(Outcome::File, file_->errorString());
    }
    if (!completesFile(now.decision, now.written))
        return DownloadResult(Outcome::Network,
                              QStringLiteral("the body ended after %1 of %2 bytes")
                                  .arg(now.offset + now.written)
                                  .arg(now.total > 0 ? now.total : now.offset + now.announced));
    return DownloadResult::complete();
}

void DownloadJob::commit()
{
    committing_ = true;
    // From here on the rename owns the file: this thread no longer touches it.
    std::shared_ptr<PartialDownload> file = std::move(file_);
    auto* watcher = new QFutureWatcher<CommitOutcome>(this);
    connect(watcher, &QFutureWatcher<CommitOutcome>::finished, this, [this, watcher] {
        const CommitOutcome outcome = watcher->result();
        watcher->deleteLater();
        committing_ = false;
        conclude(outcome.stored ? DownloadResult::complete() : DownloadResult(Outcome::File, outcome.errorString));
    });
    auto promise = std::make_shared<QPromise<CommitOutcome>>();
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool* pool = renamePool_ ? renamePool_ : QThreadPool::globalInstance();
    // Handed over whole, so that the thread sanitizer knows the pool's
    // thread has the file from here on (platform/ThreadHandOff.h): it
    // cannot see the lock inside Qt that the pool's queue hands it over by.
    platform::startPoolJob(*pool, [promise, file = std::move(file), durable = options_.durable] {
        CommitOutcome outcome{file->commit(durable), file->errorString()};
        if (!outcome.stored)
            file->discard();
        promise->addResult(outcome);
        promise->finish();
    });
}

void DownloadJob::conclude(const DownloadResult& result)
{
    bool kept = false;
    // Only bytes of a transfer that broke off, or that the file could take
    // no more of (a full disk), are worth continuing.
    if (file_) {
        if (result.outcome() == Outcome::Network || (result.outcome() == Outcome::File && appendFailed_))
            file_->keepForResume();
        else if (!result.isComplete())
            file_->discard();
        kept = file_->kept();
        // Unlocked now, so that the next download of it can resume it.
        file_.reset();
    }
    if (result.isComplete()) {
        qCDebug(lcDownload) << "stored" << targetPath_;
    } else if (result.outcome() == Outcome::Cancelled) {
        qCDebug(lcDownload) << "cancelled the download of" << targetPath_;
    } else {
        const char* keptNote = kept ? "; the bytes that came are kept for the next attempt" : "";
        qCWarning(lcDownload).nospace() << "the download of " << address_ << " into " << targetPath_
                                        << " failed: " << result << keptNote;
    }
    finished_ = true;
    result_ = result;
    emit finished(result_);
}

// Progress counts the whole file: a resumed transfer starts where the kept
// bytes end.
void DownloadJob::notify()
{
    if (cancelled_ || finished_ || !attempt_)
        return;
    const Attempt& now = *attempt_;
    const qint64 received = now.offset + now.written;
    const qint64 total = now.total > 0 ? now.total : (now.announced > 0 ? now.offset + now.announced : 0);
    const qint64 tick = tickSource_();
    if (tick - lastTick_ <= 100 || received <= 0)
        return;
    lastTick_ = tick;
    emit progressed(received, total);
}
