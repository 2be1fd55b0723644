// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/ViewSwitcher.h"

#include "parts/Colours.h"
#include "parts/PageList.h"
#include "parts/RowButton.h"
#include "parts/ViewBar.h"
#include "platform/host/IntervalTimer.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/TextBox.h"
#include "views/LibrarySearch.h"
#include "views/PageModel.h"
#include "views/SearchFilter.h"

#include <QFile>

using namespace platform;

ViewSwitcher::ViewSwitcher(ViewBar& viewBar, PageList& pageList, PageModel& model, QObject* parent)
    : QObject(parent),
      viewBar_(viewBar),
      pageList_(pageList),
      model_(model),
      favouritesTimer_(new IntervalTimer(kFavouritesAfterDownloadMs, this))
{
    favouritesListing_.setPattern(QStringLiteral("*.zip"));
    // The options show the view, however it was chosen.
    connect(&model_, &PageModel::viewChanged, this, &ViewSwitcher::followView);
    connect(favouritesTimer_, &IntervalTimer::timeout, this, &ViewSwitcher::showFavouritesAfterDownload);
}

void ViewSwitcher::openFavouritesFolder(const QString& path)
{
    favouritesListing_.setPath(path + u'/');
}

void ViewSwitcher::followView(PageView view)
{
    viewBar_.option(view)->setChecked(true);
}

void ViewSwitcher::setSearchLabel(const QColor& colour)
{
    viewBar_.searchLabel->setTextColour(colour);
}

void ViewSwitcher::colourOptions(PageView view)
{
    const PageView chosen = view == PageView::Found ? PageView::Catalogue : view;
    for (const PageView each : {PageView::Catalogue, PageView::Favourites, PageView::Lectures})
        viewBar_.option(each)->setTextColour(each == chosen ? colours::chosenView : colours::text);
}

void ViewSwitcher::choose(PageView view)
{
    if (model_.view() == view)
        return;
    switch (view) {
    case PageView::Catalogue:
    case PageView::Found:
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
    setSearchLabel(colours::text);
    colourOptions(PageView::Catalogue);
    showDeleteButtons(false);
    model_.show(PageView::Catalogue);
}

void ViewSwitcher::showLectures()
{
    setSearchLabel(colours::text);
    colourOptions(PageView::Lectures);
    showDeleteButtons(false);
    // Every lecture of the conference again, whatever the box narrowed.
    if (!enteredLectures_.isEmpty())
        model_.setList(PageView::Lectures, enteredLectures_);
    model_.show(PageView::Lectures);
}

void ViewSwitcher::showFavourites()
{
    setSearchLabel(colours::text);
    colourOptions(PageView::Favourites);
    showDeleteButtons(true);
    fillFavourites();
}

void ViewSwitcher::searchTextChanged()
{
    const QString text = viewBar_.searchBox->text();
    switch (model_.view()) {
    case PageView::Catalogue:
    case PageView::Found:
        searchLibrary(text);
        return;
    case PageView::Lectures:
        narrowLectures(text);
        return;
    case PageView::Favourites:
        break;
    }
    // The label takes the button-text colour here, not the plain black
    // the favourites switch gives it.
    setSearchLabel(colours::desktopDefault);
    colourOptions(PageView::Favourites);
    showDeleteButtons(true);
    fillFavourites(text);
}

void ViewSwitcher::searchLibrary(const QString& text)
{
    const SearchQuery query(text);
    if (query.isEmpty()) {
        if (model_.view() == PageView::Found)
            model_.show(PageView::Catalogue);
        return;
    }
    // Until the library has been learnt, there is nothing yet to find.
    const LibrarySearch::Found found = library_ ? library_->find(query) : LibrarySearch::Found{};
    model_.setFound(found.lines, found.conferenceOfEach);
    if (model_.view() != PageView::Found)
        model_.show(PageView::Found);
}

void ViewSwitcher::narrowLectures(const QString& text)
{
    const SearchQuery query(text);
    QStringList narrowed;
    for (const QString& line : std::as_const(enteredLectures_)) {
        if (query.isEmpty() || matches(SearchKey(LibrarySearch::lectureFields(line)), query))
            narrowed.append(line);
    }
    model_.setList(PageView::Lectures, narrowed);
}

void ViewSwitcher::learnLibrary(const LibraryIndex& library)
{
    searchBuilder_.run([library] { return std::make_shared<const LibrarySearch>(library); },
                       [this](std::shared_ptr<const LibrarySearch> search) {
                           library_ = std::move(search);
                           if (model_.view() == PageView::Found)
                               searchLibrary(viewBar_.searchBox->text());
                       });
}

void ViewSwitcher::showEnteredConference(const QStringList& lectureLines)
{
    enteredLectures_ = lectureLines;
    model_.setList(PageView::Lectures, lectureLines);
    choose(PageView::Lectures);
    viewBar_.lecturesOption->setEnabled(true);
}

void ViewSwitcher::downloadsDrained(bool storedAny)
{
    if (storedAny)
        favouritesTimer_->setEnabled(true);
}

void ViewSwitcher::showFavouritesAfterDownload()
{
    favouritesTimer_->setEnabled(false);
    showFavourites();
}

void ViewSwitcher::fillFavourites(const std::optional<QString>& searchText)
{
    favouritesListing_.refresh();
    QStringList names;
    for (const QString& name : favouritesListing_.names()) {
        if (!searchText || passesSearch(name, *searchText))
            names.append(name);
    }
    model_.setList(PageView::Favourites, names);
    if (model_.view() != PageView::Favourites)
        model_.show(PageView::Favourites);
    emit favouritesFilled();
}

void ViewSwitcher::deleteFavourite(int entry)
{
    if (model_.view() != PageView::Favourites)
        return;
    const QString name = model_.entry(entry);
    // No confirmation and no message: a file that cannot go simply stays
    // listed after the refresh.
    if (!name.isEmpty() && QFile::remove(favouritesListing_.path() + u'/' + name))
        emit favouriteDeleted(name);
    showFavourites();
}
