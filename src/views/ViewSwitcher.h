// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "parts/CurrentView.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <optional>

class Pager;
struct PageEntries;
struct PageList;
struct ViewBar;

namespace platform {
class IntervalTimer;
class OptionButton;
}  // namespace platform

// The three views of the page (the catalogue, a conference's lectures and
// the favourites) and the switches between them, the favourites listing
// with its search box, and the favourites' delete buttons.
class ViewSwitcher : public QObject {
    Q_OBJECT

public:
    ViewSwitcher(ViewBar& viewBar, PageList& pageList, PageEntries& entries, platform::IntervalTimer& favouritesTimer,
                 Pager& pager, QObject* parent = nullptr);

    // Shows the view unless the page shows it already, as choosing its
    // option does.
    void choose(PageView view);

    // What choosing each view option does.
    void showCatalogue();
    void showLectures();
    void showFavourites();
    // Every change of the search box's text lists the matching favourites.
    void searchTextChanged();
    // A completed download is shown in the favourites, once.
    void showFavouritesAfterDownload();

    // The delete button of that row was clicked: deletes its favourite.
    void deleteButtonReleased(int row);

    // Reads the favourites folder afresh and shows the first page of the
    // names that pass the search text (all of them without one).
    void fillFavourites(const std::optional<QString>& searchText = std::nullopt);
    // The view's option is red, the others black.
    void colourOptions(PageView view);

signals:
    // The favourites page has been listed afresh.
    void favouritesFilled();
    // The stored lecture `name` has been deleted.
    void favouriteDeleted(const QString& name);

private:
    void setSearchBox(bool open, const QColor& labelColour);
    void showDeleteButtons(bool shown);

    ViewBar& viewBar_;
    PageList& pageList_;
    PageEntries& entries_;
    platform::IntervalTimer& favouritesTimer_;
    Pager& pager_;
};
