// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "parts/PageView.h"
#include "platform/files/FileThread.h"
#include "platform/files/FolderListing.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class LibrarySearch;
class PageModel;
struct LibraryIndex;
struct PageList;
struct ViewBar;

namespace platform {
class IntervalTimer;
}  // namespace platform

// The views of the page (the catalogue, a conference's lectures, the
// favourites, and what a search of the whole library found) and the
// switches between them, the search box in each (the whole library from the
// catalogue, the conference's lectures in 远程音频, the stored names in 我的收藏),
// the favourites listing, and the favourites' delete buttons. The view itself
// is the page model's; the view options and the rest of the bar follow it.
class ViewSwitcher : public QObject {
    Q_OBJECT

public:
    // After the last download has ended, the favourites come this much later.
    static constexpr int kFavouritesAfterDownloadMs = 500;

    ViewSwitcher(ViewBar& viewBar, PageList& pageList, PageModel& model, QObject* parent = nullptr);

    // The folder of the stored lectures, listed as it is now.
    void openFavouritesFolder(const QString& path);
    const platform::FolderListing& favouritesListing() const { return favouritesListing_; }
    // Whether the favourites folder held that lecture when last listed.
    bool isStored(const QString& storedName) const { return favouritesListing_.names().contains(storedName); }
    // A lecture has come into the folder: the listing is read afresh, the
    // page stays as it is.
    void relistFavourites() { favouritesListing_.refresh(); }

    // Shows the view unless the page shows it already, as choosing its
    // option does.
    void choose(PageView view);

    // What choosing each view option does.
    void showCatalogue();
    void showLectures();
    void showFavourites();
    // Every change of the search box's text searches the view shown: the
    // whole library from the catalogue (an empty text shows the catalogue
    // again), the lectures entered in 远程音频, the favourites in 我的收藏.
    void searchTextChanged();
    // The whole library as learnt; searched from now on, once its keys are
    // made on a thread of their own.
    void learnLibrary(const LibraryIndex& library);
    // A conference's lecture lines have been read: they are shown, and its
    // option can be chosen from now on.
    void showEnteredConference(const QStringList& lectureLines);
    // The download queue has emptied: when a lecture was stored, the
    // favourites follow a moment later, once for all of them.
    void downloadsDrained(bool storedAny);
    // Shows a stored lecture a moment after the downloads ended, if it is
    // still to come.
    platform::IntervalTimer& favouritesTimer() { return *favouritesTimer_; }

    // Deletes the stored lecture of that favourites entry.
    void deleteFavourite(int entry);

    // Reads the favourites folder afresh and shows the first page of the
    // names that pass the search text (all of them without one).
    void fillFavourites(const std::optional<QString>& searchText = std::nullopt);

signals:
    // The favourites page has been listed afresh.
    void favouritesFilled();
    // The stored lecture `name` has been deleted.
    void favouriteDeleted(const QString& name);

private:
    void followView(PageView view);
    void searchLibrary(const QString& text);
    void narrowLectures(const QString& text);
    void showFavouritesAfterDownload();
    void setSearchLabel(const QColor& colour);
    // The view's option is red, the others black.
    void colourOptions(PageView view);
    void showDeleteButtons(bool shown);

    ViewBar& viewBar_;
    PageList& pageList_;
    PageModel& model_;
    // The favourites folder's *.zip files, in name order.
    platform::FolderListing favouritesListing_;
    platform::IntervalTimer* favouritesTimer_;
    // The lecture lines of the conference entered, all of them, whatever
    // the search box narrows the page to.
    QStringList enteredLectures_;
    std::shared_ptr<const LibrarySearch> library_;
    // Makes the library's search keys: ICU's pinyin takes its time.
    platform::FileThread searchBuilder_;
};
