// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/ConferenceNavigation.h"

#include "catalogue/KeptLibrary.h"
#include "catalogue/ServerTexts.h"
#include "catalogue/TextFetch.h"
#include "format/CatalogueLines.h"
#include "format/DecodeAddress.h"
#include "format/LectureListName.h"
#include "format/LibraryLog.h"
#include "parts/Notices.h"
#include "views/PageModel.h"
#include "views/ViewSwitcher.h"

ConferenceNavigation::ConferenceNavigation(PageModel& model, ViewSwitcher& views, platform::NetworkAccess& network,
                                           const StoredAddresses& addresses, KeptLibrary* kept,
                                           std::function<bool()> isOffline, QWidget* window)
    : QObject(window),
      model_(model),
      views_(views),
      network_(network),
      addresses_(addresses),
      kept_(kept),
      isOffline_(std::move(isOffline)),
      window_(window)
{
}

ConferenceNavigation::~ConferenceNavigation() = default;

void ConferenceNavigation::enterConference(int entry)
{
    // A conference of the catalogue, or one a search found.
    if (model_.view() != PageView::Catalogue && (model_.view() != PageView::Found || model_.isLecture(entry)))
        return;
    const QString line = model_.entry(entry);
    const std::optional<QString> listName = conferenceListFileName(line);
    if (!listName) {
        // Its row offers no 进 入; a press that got through anyway reads
        // nothing rather than some other conference's list.
        qCWarning(lcLibrary) << "the conference line" << line << "names no lecture list";
        return;
    }
    const QString address = builtInAddress(addresses_.conferenceListBase) + *listName;
    // A second 进 入 replaces the first: the listener changed their mind.
    listFetch_.reset();
    const quint64 press = ++presses_;
    model_.setLoadingConference(line);
    if (!kept_) {
        keptCopyRead(*listName, address, std::nullopt);
        return;
    }
    kept_->read(*listName, address, [this, press, listName = *listName, address](std::optional<KeptText> kept) {
        if (press == presses_)
            keptCopyRead(listName, address, std::move(kept));
    });
}

void ConferenceNavigation::keptCopyRead(const QString& listName, const QString& address, std::optional<KeptText> kept)
{
    if (kept && isOffline_ && isOffline_()) {
        lectureListRead(address, bytesToText(kept->body, kServerCharset), std::nullopt);
        return;
    }
    listFetch_ =
        std::make_unique<TextFetch>(network_, address, kServerCharset, nullptr, platform::NetworkLimits{}, kept);
    connect(listFetch_.get(), &TextFetch::cameAnew, this, [this, listName](const KeptText& text) {
        if (kept_)
            kept_->keep(listName, text);
    });
    connect(listFetch_.get(), &TextFetch::finished, this,
            [this, address, kept](const QString& text) { lectureListRead(address, text, kept); });
}

void ConferenceNavigation::lectureListRead(const QString& address, const QString& text,
                                           const std::optional<KeptText>& kept)
{
    // Deleted later: this runs inside its signal.
    if (listFetch_)
        listFetch_.release()->deleteLater();
    QStringList lectures;
    splitAndKeep(text, lectures);
    // The server could not be reached: the copy kept from the last read is
    // what the listener can browse.
    if (lectures.isEmpty() && kept) {
        qCInfo(lcLibrary) << "showing the kept copy of" << address;
        splitAndKeep(bytesToText(kept->body, kServerCharset), lectures);
    }
    model_.setLoadingConference(QString());
    if (lectures.isEmpty()) {
        qCWarning(lcLibrary).nospace() << "the lecture list " << address << " holds no lecture line (" << text.size()
                                       << " characters read)";
        // The listener stays where they are, with the lecture playing and
        // the download running: a list that cannot be read now may be read
        // in a moment.
        showNotice(kNetworkFailureMessage, QMessageBox::Warning, window_);
        return;
    }
    views_.showEnteredConference(lectures);
}
