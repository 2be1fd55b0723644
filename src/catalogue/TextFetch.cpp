// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/TextFetch.h"

#include "format/TextCodec.h"
#include "platform/net/NetworkAccess.h"
#include "platform/net/Transfer.h"

TextFetch::TextFetch(platform::NetworkAccess& network, const QString& address, const QString& charset, QObject* parent,
                     const platform::NetworkLimits& limits)
    : QObject(parent),
      address_(address),
      charset_(charset),
      transfer_(network.getText(address, limits))
{
    connect(transfer_.get(), &platform::Transfer::finished, this, [this] {
        const bool read = transfer_->result().outcome == platform::Transfer::Result::Outcome::Finished;
        const QString text = read ? bytesToText(transfer_->takeBody(), charset_) : QString();
        emit finished(text);
    });
}

TextFetch::~TextFetch() = default;
