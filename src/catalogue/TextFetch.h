// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "format/KeptText.h"
#include "format/TextCodec.h"
#include "platform/net/NetworkLimits.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace platform {
class NetworkAccess;
class Transfer;
}  // namespace platform

// Reads one remote text of the library (the version file, the catalogue, a
// lecture list) without holding anyone up: a GET on the network core under
// the limits given, the body decoded in the named character set ("GB2312"
// for every server file). Only a 200 answer, after any redirects, is the
// text: an error page, a part of the file or a captive portal's login page
// may hold lines that look like records, and would be shown as conferences
// or lectures. Deleting it stops it without a word.
//
// Given the copy kept of it, it asks the server for the text only if it
// changed since (If-None-Match, If-Modified-Since): an answer of 304 costs
// no body, and the kept copy is the text.
class TextFetch : public QObject {
    Q_OBJECT

public:
    TextFetch(platform::NetworkAccess& network, const QString& address, const QString& charset,
              QObject* parent = nullptr, const platform::NetworkLimits& limits = {},
              std::optional<KeptText> kept = std::nullopt);
    ~TextFetch() override;

    const QString& address() const { return address_; }

signals:
    // Once: the text, or an empty one when none could be read (the reason
    // is in the "kardelo.net" log, or an answer other than 200 in
    // "kardelo.library").
    void finished(const QString& text);
    // Just before finished: the text came anew, and this is the copy to keep
    // of it. Not raised when the kept copy was still the text.
    void cameAnew(const KeptText& text);

private:
    void answered();

    QString address_;
    QString charset_;
    std::optional<KeptText> kept_;
    std::unique_ptr<platform::Transfer> transfer_;
};
