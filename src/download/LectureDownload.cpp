// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/LectureDownload.h"

#include "download/DownloadLog.h"
#include "download/PartialDownload.h"
#include "download/ResponseDecision.h"
#include "platform/net/StreamingGet.h"

#include <optional>

using platform::StreamingGet;
using Outcome = DownloadResult::Outcome;

// One run of a download: the partial file and the attempts at the address,
// a second one only when the server would not continue the kept bytes.
class LectureDownload::Run final : public StreamingGet::Receiver {
public:
    Run(LectureDownload& download, const ProgressHandler& progressed)
        : download_(download),
          progressed_(progressed),
          file_(download.targetPath_)
    {
    }

    DownloadResult result()
    {
        notify();
        if (download_.aborted_)
            return cancelled();
        if (!file_.nameFits())
            return {Outcome::Refused, QStringLiteral("the name is longer than its file system allows")};
        if (!file_.open())
            return {Outcome::File, file_.errorString()};
        if (std::optional<DownloadResult> result = attempt(true))
            return *result;
        qCDebug(lcDownload) << "the kept bytes of" << download_.targetPath_
                            << "were not continued: asking for the whole file";
        return attempt(false).value_or(DownloadResult(Outcome::HttpStatus, QStringLiteral("no whole file")));
    }

    // Only bytes of a transfer that broke off, or that the file could take
    // no more of (a full disk), are worth continuing; a cancel, an answer
    // that is not the file or a file that cannot be stored are not.
    void settle(const DownloadResult& result)
    {
        if (result.outcome() == Outcome::Network || (result.outcome() == Outcome::File && appendFailed_))
            file_.keepForResume();
        else if (!result.isComplete())
            file_.discard();
    }

    bool bytesKept() const { return file_.kept(); }

private:
    // Nothing when the kept bytes were not continued and the whole file is
    // to be asked for.
    std::optional<DownloadResult> attempt(bool continueKeptBytes)
    {
        StreamingGet get(download_.address_, download_.options_.limits);
        transfer_ = &get;
        address_ = get.address();
        resumeFrom_ = continueKeptBytes ? file_.resumableBytes(address_) : 0;
        offset_ = written_ = announced_ = total_ = 0;
        decision_ = {};
        decided_ = restartNeeded_ = refused_ = writeFailed_ = false;
        if (resumeFrom_ > 0) {
            qCDebug(lcDownload) << "asking for" << download_.targetPath_ << "from byte" << resumeFrom_;
            // The server sends the rest only if the file is still the one
            // the kept bytes came from, and the whole file otherwise.
            get.requestRangeFrom(resumeFrom_, file_.record().validator);
        }
        const StreamingGet::Result ended = get.run(*this);
        std::optional<DownloadResult> result = finish(get, ended);
        transfer_ = nullptr;
        return result;
    }

    std::optional<DownloadResult> finish(const StreamingGet& get, const StreamingGet::Result& ended)
    {
        if (download_.aborted_)
            return cancelled();
        if (restartNeeded_)
            return std::nullopt;
        if (refused_)
            return notTheFile(refusedStatus_, refusal_);
        if (writeFailed_)
            return DownloadResult(Outcome::File, file_.errorString());
        switch (ended.outcome) {
        case StreamingGet::Result::Outcome::Stopped:
            // Only a cancel stops a transfer without one of the reasons above.
            return cancelled();
        case StreamingGet::Result::Outcome::HttpError:
            if (resumeFrom_ > 0 && ended.httpStatus == 416)
                return std::nullopt;
            return notTheFile(ended.httpStatus, {});
        case StreamingGet::Result::Outcome::NetworkError:
            return DownloadResult(Outcome::Network, ended.errorString);
        case StreamingGet::Result::Outcome::Finished:
            break;
        }
        // Anything but a 2xx here (a 304, a redirect without a target) is
        // not the file that was asked for.
        if (ended.httpStatus < 200 || ended.httpStatus > 299)
            return notTheFile(ended.httpStatus, QStringLiteral("is not the file"));
        // An empty body never reached received().
        if (!decided_ && !decideOnResponse(get.headers())) {
            if (restartNeeded_)
                return std::nullopt;
            if (refused_)
                return notTheFile(refusedStatus_, refusal_);
            return DownloadResult(Outcome::File, file_.errorString());
        }
        if (!completesFile(decision_, written_))
            return DownloadResult(Outcome::Network,
                                  QStringLiteral("the body ended after %1 of %2 bytes")
                                      .arg(offset_ + written_)
                                      .arg(total_ > 0 ? total_ : offset_ + announced_));
        notify();
        // A cancel in that last notification still wins.
        if (download_.aborted_)
            return cancelled();
        if (!file_.commit(download_.options_.durable))
            return DownloadResult(Outcome::File, file_.errorString());
        return DownloadResult::complete();
    }

    // Decided once the answer's headers are in: whether its body continues
    // the kept bytes, starts the file afresh, or is not the file at all.
    bool decideOnResponse(const platform::ResponseHeaders& headers)
    {
        decided_ = true;
        const ResponseHead head{headers.status(), headers.value("Content-Length"), headers.value("Content-Range"),
                                headers.value("ETag"), headers.value("Last-Modified")};
        const PartialDownload::Record& kept = file_.record();
        decision_ = ::decideOnResponse(head, {resumeFrom_, kept.total, kept.validator});
        announced_ = decision_.announced.value_or(0);
        switch (decision_.kind) {
        case ResponseDecision::Kind::ContinueKept:
            offset_ = decision_.offset;
            total_ = decision_.total;
            return true;
        case ResponseDecision::Kind::StartAfresh:
            offset_ = 0;
            total_ = decision_.total;
            if (!file_.restart({address_, decision_.validator, total_})) {
                writeFailed_ = true;
                return false;
            }
            return true;
        case ResponseDecision::Kind::AskForWholeFile:
            restartNeeded_ = true;
            return false;
        case ResponseDecision::Kind::Refuse:
            refused_ = true;
            refusedStatus_ = head.status;
            refusal_ = decision_.refusal;
            return false;
        }
        return false;
    }

    bool received(QByteArrayView bytes) override
    {
        if (download_.aborted_)
            return false;
        if (!decided_ && !decideOnResponse(transfer_->headers()))
            return false;
        if (!file_.append(bytes.data(), static_cast<size_t>(bytes.size()))) {
            writeFailed_ = appendFailed_ = true;
            return false;
        }
        written_ += bytes.size();
        return true;
    }

    bool checkIn() override
    {
        notify();
        return !download_.aborted_;
    }

    // Progress counts the whole file: a resumed transfer starts where the
    // kept bytes end.
    void notify()
    {
        const qint64 total = total_ > 0 ? total_ : (announced_ > 0 ? offset_ + announced_ : 0);
        if (progressed_)
            progressed_(offset_ + written_, total);
    }

    static DownloadResult cancelled() { return {Outcome::Cancelled, QStringLiteral("cancelled")}; }

    static DownloadResult notTheFile(long status, const QString& why)
    {
        const QString text = QStringLiteral("HTTP status %1").arg(status);
        return {Outcome::HttpStatus, why.isEmpty() ? text : text + u' ' + why, static_cast<int>(status)};
    }

    LectureDownload& download_;
    const ProgressHandler& progressed_;
    PartialDownload file_;
    StreamingGet* transfer_ = nullptr;
    QByteArray address_;  // as it is sent, and as the record keeps it

    // The attempt under way.
    qint64 resumeFrom_ = 0;  // the kept bytes asked to be continued
    qint64 offset_ = 0;  // where this body starts in the file
    qint64 written_ = 0;  // bytes of this body stored
    qint64 announced_ = 0;  // this body's Content-Length, 0 when none
    qint64 total_ = 0;  // the whole file's size, 0 when unknown
    bool decided_ = false;  // the answer's headers are in: continue or start afresh
    ResponseDecision decision_;
    bool restartNeeded_ = false;
    bool writeFailed_ = false;
    bool appendFailed_ = false;  // in any attempt: the file took no more of the body
    bool refused_ = false;  // the answer was not the file asked for
    long refusedStatus_ = 0;
    QString refusal_;
};

LectureDownload::LectureDownload(QString address, QString targetPath, DownloadOptions options)
    : address_(std::move(address)),
      targetPath_(std::move(targetPath)),
      options_(options)
{
}

DownloadResult LectureDownload::run(const ProgressHandler& progressed)
{
    Run run(*this, progressed);
    const DownloadResult result = run.result();
    run.settle(result);
    if (result.isComplete()) {
        qCDebug(lcDownload) << "stored" << targetPath_;
    } else if (result.outcome() == Outcome::Cancelled) {
        qCDebug(lcDownload) << "cancelled the download of" << targetPath_;
    } else {
        const char* kept = run.bytesKept() ? "; the bytes that came are kept for the next attempt" : "";
        qCWarning(lcDownload).nospace() << "the download of " << address_ << " into " << targetPath_
                                        << " failed: " << result << kept;
    }
    return result;
}
