// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/ConferenceNavigation.h"

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
                                           const StoredAddresses& addresses, QWidget* window)
    : QObject(window),
      model_(model),
      views_(views),
      network_(network),
      addresses_(addresses),
      window_(window)
{
}

ConferenceNavigation::~ConferenceNavigation() = default;

void ConferenceNavigation::enterConference(int entry)
{
    if (model_.view() != PageView::Catalogue)
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
    listFetch_ = std::make_unique<TextFetch>(network_, address, kServerCharset);
    connect(listFetch_.get(), &TextFetch::finished, this,
            [this, address](const QString& text) { lectureListRead(address, text); });
    model_.setLoadingConference(line);
}

void ConferenceNavigation::lectureListRead(const QString& address, const QString& text)
{
    // Deleted later: this runs inside its signal.
    listFetch_.release()->deleteLater();
    model_.setLoadingConference(QString());
    QStringList lectures;
    splitAndKeep(text, lectures);
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
