// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/LibraryAvailability.h"

#include "catalogue/ServerTexts.h"
#include "shell/LibraryConnection.h"

#include <utility>

LibraryAvailability::LibraryAvailability(LibraryConnection& library, std::function<bool()> hasStoredLectures,
                                         QObject* parent)
    : QObject(parent),
      library_(library),
      hasStoredLectures_(std::move(hasStoredLectures))
{
    connect(&library_, &LibraryConnection::catalogueRead, this, &LibraryAvailability::catalogueRead);
    connect(&library_, &LibraryConnection::readFailed, this, &LibraryAvailability::readFailed);
    connect(&library_, &LibraryConnection::keptCatalogueRead, this, &LibraryAvailability::keptCatalogueRead);
    // The wait for an answer restarts with each text asked for, so that
    // the time a listener takes over the newer version's question is not
    // counted against the server.
    offlineTimer_.setSingleShot(true);
    offlineTimer_.setInterval(kOfflineAfter);
    connect(&offlineTimer_, &QTimer::timeout, this, [this] {
        if (!opened_ && canOpenOffline())
            openOffline();
    });
    connect(&library_, &LibraryConnection::versionRead, &offlineTimer_, &QTimer::stop);
    connect(&library_, &LibraryConnection::catalogueRequested, this, [this] {
        if (!opened_)
            offlineTimer_.start();
    });
}

LibraryAvailability::~LibraryAvailability() = default;

void LibraryAvailability::start()
{
    library_.readNow();
    // A listener with lectures stored is not kept waiting for a network
    // that is not there, nor for a server that does not answer.
    if (hasStoredLectures_() && library_.isKnownOffline())
        openOffline();
    else
        offlineTimer_.start();
}

bool LibraryAvailability::canOpenOffline() const
{
    return hasStoredLectures_() || !library_.keptCatalogue().isEmpty();
}

bool LibraryAvailability::catalogueAsked()
{
    if (!offline_)
        return true;
    library_.readNow();
    // The kept copy is there to browse meanwhile.
    if (!library_.keptCatalogue().isEmpty())
        return true;
    catalogueWanted_ = true;
    setNotice(kReconnectingMessage);
    return false;
}

void LibraryAvailability::keptCatalogueRead()
{
    if (!std::exchange(failedBeforeKeptCopy_, false) || opened_)
        return;
    if (canOpenOffline())
        openOffline();
    else
        emit unreachableWithNothingStored();
}

void LibraryAvailability::catalogueRead(const QStringList& conferenceLines)
{
    if (!opened_) {
        opened_ = true;
        emit openedOnCatalogue(conferenceLines);
        return;
    }
    offline_ = false;
    setNotice(QString());
    emit reconnected(conferenceLines, std::exchange(catalogueWanted_, false));
}

void LibraryAvailability::readFailed()
{
    if (opened_) {
        // The request the user made failed too: say so again.
        if (std::exchange(catalogueWanted_, false))
            setNotice(kNetworkFailureMessage);
        return;
    }
    if (canOpenOffline()) {
        openOffline();
        return;
    }
    if (!library_.isKeptCatalogueKnown()) {
        failedBeforeKeptCopy_ = true;
        return;
    }
    emit unreachableWithNothingStored();
}

void LibraryAvailability::openOffline()
{
    offlineTimer_.stop();
    opened_ = true;
    offline_ = true;
    // The notice first: the window is fitted to the screen with its line.
    const QStringList& kept = library_.keptCatalogue();
    setNotice(kept.isEmpty() ? kNetworkFailureMessage : kKeptLibraryMessage);
    library_.setRetrying(true);
    emit openedOffline(kept);
}

void LibraryAvailability::setNotice(const QString& notice)
{
    if (notice == notice_)
        return;
    notice_ = notice;
    emit noticeChanged(notice_);
}
