// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/ViewSwitcher.h"

#include "parts/Colours.h"
#include "parts/PageEntries.h"
#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "parts/ViewBar.h"
#include "platform/host/IntervalTimer.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/ScrollBar.h"
#include "platform/widgets/TextBox.h"
#include "views/Pager.h"
#include "views/SearchFilter.h"

#include <QFile>

using namespace platform;

ViewSwitcher::ViewSwitcher(ViewBar& viewBar, PageList& pageList, PageEntries& entries, IntervalTimer& favouritesTimer,
                           Pager& pager, QObject* parent)
    : QObject(parent),
      viewBar_(viewBar),
      pageList_(pageList),
      entries_(entries),
      favouritesTimer_(favouritesTimer),
      pager_(pager)
{
}

void ViewSwitcher::setSearchBox(bool open, const QColor& labelColour)
{
    viewBar_.searchBox->setEnabled(open);
    viewBar_.searchLabel->setTextColour(labelColour);
    viewBar_.searchBox->setBackgroundColour(open ? colours::paper : colours::closedSearchBox);
}

void ViewSwitcher::colourOptions(PageView view)
{
    for (const PageView each : {PageView::Catalogue, PageView::Favourites, PageView::Lectures})
        viewBar_.option(each)->setTextColour(each == view ? colours::chosenView : colours::text);
}

void ViewSwitcher::choose(PageView view)
{
    if (viewBar_.currentView->value() == view)
        return;
    switch (view) {
    case PageView::Catalogue:
        showCatalogue();
        break;
    case PageView::Lectures:
        showLectures();
        break;
    case PageView::Favourites:
        showFavourites();
        break;
    }
}

void ViewSwitcher::showDeleteButtons(bool shown)
{
    for (PageRow& row : pageList_.rows)
        row.deleteButton->setVisible(shown);
}

void ViewSwitcher::showCatalogue()
{
    viewBar_.currentView->set(PageView::Catalogue);
    setSearchBox(false, colours::dimmedText);
    colourOptions(PageView::Catalogue);
    showDeleteButtons(false);
    pager_.showCataloguePage();
}

void ViewSwitcher::showLectures()
{
    viewBar_.currentView->set(PageView::Lectures);
    setSearchBox(false, colours::dimmedText);
    colourOptions(PageView::Lectures);
    showDeleteButtons(false);
    pager_.showLecturePage();
}

void ViewSwitcher::showFavourites()
{
    viewBar_.currentView->set(PageView::Favourites);
    setSearchBox(true, colours::text);
    colourOptions(PageView::Favourites);
    pageList_.pageScrollBar->setValue(0);
    showDeleteButtons(true);
    fillFavourites();
}

void ViewSwitcher::searchTextChanged()
{
    // The label takes the button-text colour here, not the plain black
    // the favourites switch gives it.
    viewBar_.currentView->set(PageView::Favourites);
    setSearchBox(true, colours::desktopDefault);
    colourOptions(PageView::Favourites);
    pageList_.pageScrollBar->setValue(0);
    showDeleteButtons(true);
    fillFavourites(viewBar_.searchBox->text());
}

void ViewSwitcher::showFavouritesAfterDownload()
{
    favouritesTimer_.setEnabled(false);
    choose(PageView::Favourites);
    showFavourites();
}

void ViewSwitcher::fillFavourites(const std::optional<QString>& searchText)
{
    entries_.favouritesListing.refresh();
    entries_.favouriteNames.clear();
    for (const QString& name : entries_.favouritesListing.names()) {
        if (!searchText || passesSearch(name, *searchText))
            entries_.favouriteNames.append(name);
    }

    pager_.showFavouritesPage(entries_.favouriteNames);
    emit favouritesFilled();
}

void ViewSwitcher::deleteButtonReleased(int row)
{
    const QString name = entries_.favouriteNames.value(row + pageList_.pageScrollBar->position());
    // No confirmation and no message: a file that cannot go simply stays
    // listed after the refresh.
    if (!name.isEmpty() && QFile::remove(entries_.favouritesListing.path() + u'/' + name))
        emit favouriteDeleted(name);
    showFavourites();
}
