// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"
#include "format/KeptText.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class KeptLibrary;
class TextFetch;

namespace platform {
class NetworkAccess;
class NetworkReachability;
}  // namespace platform

// Reaches the library: reads its version file, and once that names a
// version, its catalogue, on the network core without holding anyone up.
// After a read that failed it can go on trying by itself (retrying), as a
// listener who opened the program on a train expects: when the system says
// the network is back, and otherwise at growing intervals, so that a long
// time offline costs next to nothing.
class LibraryConnection : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds kFirstRetry{5};
    static constexpr std::chrono::seconds kLongestRetry{60};

    // kept: where the library's texts are kept as read; none keeps nothing.
    LibraryConnection(platform::NetworkAccess& network, const StoredAddresses& addresses, KeptLibrary* kept,
                      QObject* parent = nullptr);
    ~LibraryConnection() override;

    // Reads the library now, unless a read is under way already.
    void readNow();
    bool isReading() const { return fetch_ != nullptr; }
    // Drops the read under way, without a word; from a slot of versionRead
    // too, which then reads no catalogue.
    void stop();
    // From a slot of versionRead: the catalogue is not read until
    // readHeldCatalogue(), so that the start can wait for the listener's
    // answer with nothing read meanwhile.
    void holdCatalogue();
    // Reads the catalogue held back; nothing when none is.
    void readHeldCatalogue();

    // Whether a failed read is followed by another, by itself; a read that
    // succeeds ends the retrying.
    void setRetrying(bool retrying);
    bool isRetrying() const { return retrying_; }
    // How long after a failure the next read starts.
    std::chrono::milliseconds nextRetryDelay() const { return nextDelay_; }

    // The system says there is no network at all.
    bool isKnownOffline();
    // The catalogue's lines as last read and kept; empty until the kept
    // copy has been read, and when there is none.
    const QStringList& keptCatalogue() const { return keptCatalogue_; }
    // Whether the kept copy has been read (or there is nowhere to keep one).
    bool isKeptCatalogueKnown() const { return keptCatalogueKnown_; }

signals:
    // The version file names `published` as the library's version; the
    // catalogue is read once the slots have returned, unless one stops this
    // read or holds the catalogue back.
    void versionRead(const QString& published);
    // The catalogue is being read now.
    void catalogueRequested();
    // The catalogue's conference lines, at least one.
    void catalogueRead(const QStringList& conferenceLines);
    // The version file or the catalogue could not be read, or held nothing
    // usable; the reason is in the log.
    void readFailed();
    // The kept copy of the catalogue has been read, at the first read: its
    // lines, none when there is no copy.
    void keptCatalogueRead(const QStringList& conferenceLines);

private:
    void versionFetched(const QString& text);
    void readCatalogue();
    void catalogueFetched(const QString& text);
    platform::NetworkReachability& reachability();
    void dropFinishedFetch();
    void fail();
    void scheduleRetry();

    platform::NetworkAccess& network_;
    StoredAddresses addresses_;
    KeptLibrary* kept_;
    // The kept copy, once read: the catalogue is then asked for only if
    // it changed since.
    std::optional<KeptText> keptCatalogueText_;
    QStringList keptCatalogue_;
    bool keptCatalogueAsked_ = false;
    bool keptCatalogueKnown_ = false;
    // The version has been read, and the catalogue waits for its kept copy.
    bool catalogueDue_ = false;
    platform::NetworkReachability* reachability_ = nullptr;
    std::unique_ptr<TextFetch> fetch_;
    QTimer retryTimer_;
    std::chrono::milliseconds nextDelay_ = kFirstRetry;
    bool retrying_ = false;
    bool stopped_ = false;
    bool catalogueHeld_ = false;
    bool tellingVersion_ = false;
};
