// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/TextFetch.h"

#include "format/LibraryLog.h"
#include "format/TextCodec.h"
#include "platform/net/NetworkAccess.h"
#include "platform/net/Transfer.h"

namespace {

constexpr long kHttpOk = 200;

}  // namespace

TextFetch::TextFetch(platform::NetworkAccess& network, const QString& address, const QString& charset, QObject* parent,
                     const platform::NetworkLimits& limits)
    : QObject(parent),
      address_(address),
      charset_(charset),
      transfer_(network.getText(address, limits))
{
    connect(transfer_.get(), &platform::Transfer::finished, this, [this] {
        const platform::Transfer::Result& result = transfer_->result();
        const bool answered = result.outcome == platform::Transfer::Result::Outcome::Finished;
        const bool read = answered && result.httpStatus == kHttpOk;
        if (answered && !read)
            qCWarning(lcLibrary).nospace()
                << "not reading " << address_ << ": its answer, after any redirects, had status " << result.httpStatus
                << ", not 200";
        emit finished(read ? bytesToText(transfer_->takeBody(), charset_) : QString());
    });
}

TextFetch::~TextFetch() = default;
