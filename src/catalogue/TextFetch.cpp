// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/TextFetch.h"

#include "format/LibraryLog.h"
#include "format/TextCodec.h"
#include "platform/net/NetworkAccess.h"
#include "platform/net/Transfer.h"

namespace {

constexpr long kHttpOk = 200;
constexpr long kHttpNotModified = 304;

}  // namespace

TextFetch::TextFetch(platform::NetworkAccess& network, const QString& address, const QString& charset, QObject* parent,
                     const platform::NetworkLimits& limits, std::optional<KeptText> kept)
    : QObject(parent),
      address_(address),
      charset_(charset),
      kept_(std::move(kept)),
      transfer_(network.getText(address, limits))
{
    if (kept_ && (!kept_->entityTag.isEmpty() || !kept_->lastModified.isEmpty()))
        transfer_->askOnlyIfChanged(kept_->entityTag, kept_->lastModified);
    else
        kept_.reset();
    connect(transfer_.get(), &platform::Transfer::finished, this, &TextFetch::answered);
}

void TextFetch::answered()
{
    const platform::Transfer::Result& result = transfer_->result();
    const bool answered = result.outcome == platform::Transfer::Result::Outcome::Finished;
    if (answered && kept_ && result.httpStatus == kHttpNotModified) {
        emit finished(bytesToText(kept_->body, charset_));
        return;
    }
    const bool read = answered && result.httpStatus == kHttpOk;
    if (answered && !read)
        qCWarning(lcLibrary).nospace() << "not reading " << address_ << ": its answer, after any redirects, had status "
                                       << result.httpStatus << ", not 200";
    if (!read) {
        emit finished(QString());
        return;
    }
    const platform::ResponseHeaders headers = transfer_->headers();
    KeptText fresh{address_, headers.value("ETag").value_or(QByteArray()),
                   headers.value("Last-Modified").value_or(QByteArray()), transfer_->takeBody()};
    emit cameAnew(fresh);
    emit finished(bytesToText(fresh.body, charset_));
}

TextFetch::~TextFetch() = default;
