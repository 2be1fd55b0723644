// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/LibraryConnection.h"

#include "catalogue/KeptLibrary.h"
#include "catalogue/ServerTexts.h"
#include "catalogue/TextFetch.h"
#include "format/CatalogueLines.h"
#include "format/DecodeAddress.h"
#include "format/LibraryLog.h"
#include "info/VersionCheck.h"
#include "platform/net/NetworkReachability.h"

#include <algorithm>
#include <utility>

LibraryConnection::LibraryConnection(platform::NetworkAccess& network, const StoredAddresses& addresses,
                                     KeptLibrary* kept, QObject* parent)
    : QObject(parent),
      network_(network),
      addresses_(addresses),
      kept_(kept)
{
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &LibraryConnection::readNow);
}

LibraryConnection::~LibraryConnection() = default;

platform::NetworkReachability& LibraryConnection::reachability()
{
    // Asked only once the library could not be read, or lectures are stored
    // to open on: loading the system's network back end is no part of a
    // start that reaches its library.
    if (!reachability_) {
        reachability_ = new platform::NetworkReachability(this);
        // The network is back: no need to wait out the interval.
        connect(reachability_, &platform::NetworkReachability::online, this, [this] {
            if (retrying_)
                readNow();
        });
    }
    return *reachability_;
}

bool LibraryConnection::isKnownOffline()
{
    return reachability().isKnownOffline();
}

void LibraryConnection::readNow()
{
    if (fetch_)
        return;
    // A read from the start supersedes a catalogue held back.
    catalogueHeld_ = false;
    retryTimer_.stop();
    // Read from the disk while the version file comes over the network.
    if (kept_ && !std::exchange(keptCatalogueAsked_, true)) {
        kept_->read(KeptLibrary::kCatalogueName, builtInAddress(addresses_.catalogue),
                    [this](std::optional<KeptText> text) {
                        keptCatalogueKnown_ = true;
                        if (text) {
                            splitAndKeep(bytesToText(text->body, kServerCharset), keptCatalogue_);
                            keptCatalogueText_ = std::move(text);
                        }
                        emit keptCatalogueRead(keptCatalogue_);
                        if (std::exchange(catalogueDue_, false))
                            readCatalogue();
                    });
    } else if (!kept_) {
        keptCatalogueKnown_ = true;
    }
    fetch_ = std::make_unique<TextFetch>(network_, builtInAddress(addresses_.versionFile), kServerCharset);
    connect(fetch_.get(), &TextFetch::finished, this, &LibraryConnection::versionFetched);
}

void LibraryConnection::stop()
{
    fetch_.reset();
    stopped_ = true;
    catalogueDue_ = false;
    catalogueHeld_ = false;
}

void LibraryConnection::holdCatalogue()
{
    catalogueHeld_ = true;
}

void LibraryConnection::readHeldCatalogue()
{
    // Asked from inside versionRead, the read goes on once the slots return.
    if (std::exchange(catalogueHeld_, false) && !tellingVersion_)
        readCatalogue();
}

void LibraryConnection::dropFinishedFetch()
{
    // Deleted later: this runs inside the fetch's own signal.
    if (fetch_)
        fetch_.release()->deleteLater();
}

void LibraryConnection::setRetrying(bool retrying)
{
    retrying_ = retrying;
    if (retrying)
        reachability();
    if (!retrying) {
        retryTimer_.stop();
        nextDelay_ = kFirstRetry;
    } else if (!fetch_ && !retryTimer_.isActive()) {
        scheduleRetry();
    }
}

void LibraryConnection::versionFetched(const QString& text)
{
    dropFinishedFetch();
    const std::optional<QString> published = publishedVersionText(text);
    if (!published) {
        qCWarning(lcLibrary).nospace() << "the version file has no " << kVersionMarker << " (" << text.size()
                                       << " characters read)";
        fail();
        return;
    }
    // The catalogue is asked for only once every slot has returned: one may
    // stop the read, or hold the catalogue back while the listener is asked
    // about a newer version.
    stopped_ = false;
    catalogueHeld_ = false;
    tellingVersion_ = true;
    emit versionRead(*published);
    tellingVersion_ = false;
    if (stopped_ || catalogueHeld_)
        return;
    readCatalogue();
}

void LibraryConnection::readCatalogue()
{
    // Asked for only once its kept copy is known: then only if it changed.
    if (!keptCatalogueKnown_) {
        catalogueDue_ = true;
        return;
    }
    fetch_ = std::make_unique<TextFetch>(network_, builtInAddress(addresses_.catalogue), kServerCharset, nullptr,
                                         platform::NetworkLimits{}, keptCatalogueText_);
    connect(fetch_.get(), &TextFetch::cameAnew, this, [this](const KeptText& text) {
        if (kept_)
            kept_->keep(KeptLibrary::kCatalogueName, text);
        keptCatalogueText_ = text;
    });
    connect(fetch_.get(), &TextFetch::finished, this, &LibraryConnection::catalogueFetched);
    emit catalogueRequested();
}

void LibraryConnection::catalogueFetched(const QString& text)
{
    dropFinishedFetch();
    QStringList lines;
    splitAndKeep(text, lines);
    if (lines.isEmpty()) {
        qCWarning(lcLibrary).nospace() << "the catalogue holds no conference line (" << text.size()
                                       << " characters read)";
        fail();
        return;
    }
    setRetrying(false);
    emit catalogueRead(lines);
}

void LibraryConnection::fail()
{
    emit readFailed();
    // A slot may have started retrying, or read again at once.
    if (retrying_ && !fetch_ && !retryTimer_.isActive())
        scheduleRetry();
}

void LibraryConnection::scheduleRetry()
{
    retryTimer_.start(nextDelay_);
    nextDelay_ = std::min<std::chrono::milliseconds>(nextDelay_ * 2, kLongestRetry);
}
