// SPDX-License-Identifier: GPL-3.0-or-later

#include "shell/MainWindow.h"

#include "artwork/Artwork.h"
#include "catalogue/KeptLibrary.h"
#include "catalogue/LibraryLearner.h"
#include "catalogue/ServerTexts.h"
#include "download/DownloadCommands.h"
#include "download/DownloadNotices.h"
#include "download/DownloadQueue.h"
#include "download/FavouritePlayer.h"
#include "download/PartialDownload.h"
#include "download/PlayRename.h"
#include "format/CatalogueLines.h"
#include "format/DecodeAddress.h"
#include "format/LibraryLog.h"
#include "info/PhoneEditionAdvert.h"
#include "info/WebLinks.h"
#include "parts/ClientLayout.h"
#include "parts/Notices.h"
#include "parts/RowButton.h"
#include "parts/RowKeyNavigation.h"
#include "parts/TransportBar.h"
#include "platform/host/HostOperations.h"
#include "platform/host/IntervalTimer.h"
#include "platform/host/SessionBus.h"
#include "platform/net/NetworkAccess.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/FitWindowOnScreen.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/ScrollBar.h"
#include "platform/widgets/ShortcutPrecedence.h"
#include "platform/widgets/TextBox.h"
#include "playback/KeepAwakeWhilePlaying.h"
#include "playback/LectureSequence.h"
#include "playback/ListeningMemory.h"
#include "playback/MediaPlayer2Service.h"
#include "playback/Playback.h"
#include "playback/SleepTimer.h"
#include "shell/FavouritesLocation.h"
#include "shell/LibraryAvailability.h"
#include "shell/LibraryConnection.h"
#include "views/ConferenceNavigation.h"
#include "views/ListeningMarks.h"
#include "views/PageModel.h"
#include "views/Pager.h"
#include "views/ViewSwitcher.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

#include <chrono>

namespace {

constexpr std::chrono::hours kPartialDownloadLifetime{24 * 30};

}  // namespace

MainWindow::MainWindow(const StoredAddresses& addresses, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent),
      addresses_(addresses),
      favouritesFolder_(favouritesFolderLocation(programFolder, kFavouritesFolderName))
{
    platform::installFontSubstitutions();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(kDesignTitle);

    network_ = new platform::NetworkAccess(this);
    sessionBus_ = new platform::SessionBus(this);
    keptLibrary_ = std::make_unique<KeptLibrary>(KeptLibrary::folderFor(
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation), builtInAddress(addresses_.catalogue)));
    library_ = new LibraryConnection(*network_, addresses_, keptLibrary_.get(), this);
    learner_ = new LibraryLearner(*network_, addresses_, keptLibrary_.get(), this);
    availability_ = new LibraryAvailability(
        *library_, [this] { return !views_->favouritesListing().names().isEmpty(); }, this);

    auto* client = new QWidget(this);
    client->resize(clientLayout::kDesignedClientSize);
    setCentralWidget(client);
    // Made before the parts, as the player bar shows it, but after the
    // client: the window's children go in the order made, so the bar is
    // gone before the playback it shows.
    playback_ = new Playback(this);
    listening_ = new ListeningMemory(*playback_, favouritesFolder(), this);
    sequence_ = new LectureSequence(
        *playback_, [this](const QString& storedName) { return views_->isStored(storedName); }, this);
    // The media keys and the desktop's player controls.
    new MediaPlayer2Service(*playback_, *sequence_, this, *sessionBus_);

    // Built in this order, which is also the order they stack in.
    sidePanel_ = SidePanel::build(client, phoneEditionAdvert(addresses_.phoneEdition, qApp->devicePixelRatio()));
    viewBar_ = ViewBar::build(client);
    pageList_ = PageList::build(client);
    playerBar_ = PlayerBar::build(client, *playback_);
    clientLayout::layOut(client, sidePanel_, viewBar_, pageList_, playerBar_);
    buildMenu();

    pageModel_ = new PageModel(this);
    pager_ = new Pager(pageList_, *pageModel_, this);
    views_ = new ViewSwitcher(viewBar_, pageList_, *pageModel_, this);
    conferenceNavigation_ = new ConferenceNavigation(
        *pageModel_, *views_, *network_, addresses_, keptLibrary_.get(), [this] { return availability_->isOffline(); },
        this);
    downloadCommands_ = new DownloadCommands(
        *pageModel_, favouritesFolder(), [this](const QString& fileName) { return views_->isStored(fileName); }, this);
    favouritePlayer_ = new FavouritePlayer(*pageModel_, *listening_, *sequence_, favouritesFolder(), this);
    webLinks_ = new WebLinks(addresses_, this);
    new RowKeyNavigation(pageList_, this);
    new ListeningMarks(pageList_, *pageModel_, *listening_, this);
    connect(views_, &ViewSwitcher::favouriteDeleted, listening_, &ListeningMemory::forget);
    keepAwake_ = new KeepAwakeWhilePlaying(*playback_, *sessionBus_, this);
    connect(downloadCommands_, &DownloadCommands::downloadFinished, new DownloadNotices(this, *sessionBus_, this),
            &DownloadNotices::downloadFinished);
    connectParts();
    connectListeningOn();
    connectAvailability();
    orderTabs();

    fitToContents();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenu()
{
    MenuActions& menu = menuActions_;
    menu.fileMenu = menuBar()->addMenu(QStringLiteral("文件(F)"));
    menu.quit = menu.fileMenu->addAction(QStringLiteral("退出"));
    menu.quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    menu.helpMenu = menuBar()->addMenu(QStringLiteral("帮助(H)"));
    menu.showAbout = menu.helpMenu->addAction(QStringLiteral("版本信息"));
    menu.showAbout->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    menu.openHelpPage = menu.helpMenu->addAction(QStringLiteral("操作说明"));
    menu.openHelpPage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    menu.openHomePage = menu.helpMenu->addAction(QStringLiteral("访问作者主页"));
    menu.openHomePage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    platform::giveShortcutsPrecedence(viewBar_.searchBox,
                                      {menu.quit, menu.showAbout, menu.openHelpPage, menu.openHomePage});

    // The captions' "(F)" and "(H)" are plain text, but a keyboard user reads
    // them as the keys that open the menus; F10 opens the bar as it does on
    // other desktops.
    const std::pair<QKeySequence, QMenu*> menuKeys[] = {
        {QKeySequence(Qt::ALT | Qt::Key_F), menu.fileMenu},
        {QKeySequence(Qt::ALT | Qt::Key_H), menu.helpMenu},
        {QKeySequence(Qt::Key_F10), menu.fileMenu},
    };
    for (const auto& menuKey : menuKeys) {
        QMenu* opened = menuKey.second;
        connect(new QShortcut(menuKey.first, this), &QShortcut::activated, this, [this, opened] {
            menuBar()->setActiveAction(opened->menuAction());
            // Open as from the keyboard, on its first item, so
            // Return runs it.
            opened->setActiveAction(opened->actions().value(0));
        });
    }
}

void MainWindow::connectParts()
{
    connect(sidePanel_.phoneEditionButton, &QPushButton::clicked, webLinks_, &WebLinks::openPhoneEditionPage);
    // The menu's 退出 leaves the way closing the window does.
    connect(menuActions_.quit, &QAction::triggered, this, &QWidget::close);
    connect(menuActions_.showAbout, &QAction::triggered, webLinks_, &WebLinks::showAbout);
    connect(menuActions_.openHelpPage, &QAction::triggered, webLinks_, &WebLinks::openHelpPage);
    connect(menuActions_.openHomePage, &QAction::triggered, webLinks_, &WebLinks::openHomePage);

    connect(viewBar_.lecturesOption, &platform::OptionButton::chosen, views_, &ViewSwitcher::showLectures);
    connect(viewBar_.favouritesOption, &platform::OptionButton::chosen, views_, &ViewSwitcher::showFavourites);
    connect(viewBar_.catalogueOption, &platform::OptionButton::chosen, this, &MainWindow::catalogueChosen);
    connect(viewBar_.searchBox, &platform::TextBox::changed, views_, &ViewSwitcher::searchTextChanged);
    connect(pager_, &Pager::actionRequested, this, &MainWindow::runRowAction);
    connect(pager_, &Pager::deleteRequested, views_, &ViewSwitcher::deleteFavourite);
}

void MainWindow::connectListeningOn()
{
    // What is stored changes what comes next, and how the lectures' rows
    // read.
    connect(downloadCommands_, &DownloadCommands::lectureStored, views_, &ViewSwitcher::relistFavourites);
    connect(downloadCommands_, &DownloadCommands::lectureStored, sequence_, &LectureSequence::neighboursChanged);
    connect(views_, &ViewSwitcher::favouritesFilled, sequence_, &LectureSequence::neighboursChanged);
    SleepTimer* sleepTimer = playerBar_.sleepTimer;
    sequence_->setHoldAtEnd([sleepTimer] { return sleepTimer->holdsNextLecture(); });
    QAction* continuous = playerBar_.continuousPlay;
    continuous->setChecked(sequence_->continuous());
    connect(continuous, &QAction::toggled, sequence_, &LectureSequence::setContinuous);
    connect(sequence_, &LectureSequence::continuousChanged, continuous, &QAction::setChecked);
}

void MainWindow::runRowAction(int entry)
{
    switch (pageModel_->view()) {
    case PageView::Catalogue:
        conferenceNavigation_->enterConference(entry);
        break;
    case PageView::Found:
        if (!pageModel_->isLecture(entry)) {
            conferenceNavigation_->enterConference(entry);
            break;
        }
        Q_FALLTHROUGH();
    case PageView::Lectures:
        // A stored lecture's row plays it, as its row in the favourites does.
        if (pageModel_->entryData(entry, PageModel::DownloadStateRole).value<PageModel::DownloadState>()
            == PageModel::DownloadState::Stored)
            favouritePlayer_->play(entry);
        else
            downloadCommands_->downloadOrCancel(entry);
        break;
    case PageView::Favourites:
        favouritePlayer_->play(entry);
        break;
    }
}

void MainWindow::orderTabs()
{
    // Top to bottom, as the eye reads the window, with the side panel's
    // button last: the parts were built in another order.
    QList<QWidget*> chain{viewBar_.catalogueOption, viewBar_.lecturesOption, viewBar_.favouritesOption,
                          viewBar_.searchBox};
    for (const PageRow& row : pageList_.rows)
        chain << row.actionButton << row.deleteButton;
    chain << pageList_.pageScrollBar << playerBar_.transportBar->controls() << sidePanel_.phoneEditionButton;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
    // The window opens with the focus at the start of that order.
    viewBar_.catalogueOption->setFocus();
}

void MainWindow::loadAtStartUp()
{
    // An existing folder is the normal case on every start but the first;
    // the user's data folder above it may not exist yet either.
    QDir().mkpath(favouritesFolder());
    // A lecture left under its play name by a run that died mid-play gets
    // its stored name back before the folder is listed.
    PlayRename::recoverPending(favouritesFolder());
    // Bytes kept for a resume that will never come would only take space.
    // Reading a folder of thousands of lectures takes a few milliseconds, so
    // it waits until the window is up; a download in progress by then holds
    // its partial file locked, and that one is left alone.
    QTimer::singleShot(0, this,
                       [folder = favouritesFolder()] { prunePartialDownloads(folder, kPartialDownloadLifetime); });
    views_->openFavouritesFolder(favouritesFolder());
    listening_->load(views_->favouritesListing().names());

    downloadQueue_ = new DownloadQueue(this);
    downloadCommands_->setDownloadQueue(downloadQueue_);
    // The favourites follow once, after the last lecture, not after each.
    connect(downloadQueue_, &DownloadQueue::drained, views_, &ViewSwitcher::downloadsDrained);

    platform::fitWindowOnScreen(*this);

    availability_->start();
}

void MainWindow::connectAvailability()
{
    connect(availability_, &LibraryAvailability::openedOnCatalogue, this, [this](const QStringList& conferenceLines) {
        pageModel_->setList(PageView::Catalogue, conferenceLines);
        pageModel_->show(PageView::Catalogue);
        learnWholeLibrary(conferenceLines, false);
        emit opened();
    });
    connect(availability_, &LibraryAvailability::openedOffline, this, [this](const QStringList& keptConferenceLines) {
        pageModel_->setList(PageView::Catalogue, keptConferenceLines);
        if (!keptConferenceLines.isEmpty())
            learnWholeLibrary(keptConferenceLines, true);
        // Lectures pressed for meanwhile wait for the library.
        downloadQueue_->setHeld(true);
        views_->choose(views_->favouritesListing().names().isEmpty() ? PageView::Catalogue : PageView::Favourites);
        if (!isVisible())
            platform::fitWindowOnScreen(*this);
        emit opened();
    });
    connect(availability_, &LibraryAvailability::reconnected, this,
            [this](const QStringList& conferenceLines, bool userAskedForCatalogue) {
                pageModel_->setList(PageView::Catalogue, conferenceLines);
                learnWholeLibrary(conferenceLines, false);
                downloadQueue_->setHeld(false);
                if (userAskedForCatalogue)
                    views_->choose(PageView::Catalogue);
            });
    connect(availability_, &LibraryAvailability::noticeChanged, this, &MainWindow::showOfflineNotice);
    connect(learner_, &LibraryLearner::progressed, this, &MainWindow::showLearningProgress);
    connect(learner_, &LibraryLearner::learnt, this, [this](const LibraryIndex& library) {
        showLearningProgress(0, 0);
        views_->learnLibrary(library);
    });
    connect(availability_, &LibraryAvailability::unreachableWithNothingStored, this, [this] {
        // The program ends once the user has read why.
        showNotice(kNetworkFailureMessage, QMessageBox::Warning, nullptr, [self = QPointer(this)] {
            platform::endProgram();
            if (self)
                emit self->ended();
        });
    });
}

bool MainWindow::hasOpened() const
{
    return availability_->hasOpened();
}

bool MainWindow::isOffline() const
{
    return availability_->isOffline();
}

void MainWindow::catalogueChosen()
{
    if (availability_->catalogueAsked()) {
        views_->showCatalogue();
        return;
    }
    // There is no catalogue to show yet: the page stays where it is.
    viewBar_.option(pageModel_->view())->setChecked(true);
}

void MainWindow::learnWholeLibrary(const QStringList& conferenceLines, bool offline)
{
    LibraryIndex catalogueAlone;
    for (const QString& line : conferenceLines)
        catalogueAlone.conferences.append({line, {}});
    views_->learnLibrary(catalogueAlone);
    learner_->learn(conferenceLines, offline);
}

void MainWindow::showOfflineNotice(const QString& text)
{
    // The window's own line for it, not a box: the listener can go on
    // with the stored lectures.
    showFootLine(offlineNotice_, "offlineNotice", text);
}

void MainWindow::showLearningProgress(int listsRead, int listsInAll)
{
    showFootLine(learningNotice_, "learningNotice",
                 listsRead < listsInAll ? QStringLiteral("正在读取全部讲座 %1/%2").arg(listsRead).arg(listsInAll)
                                        : QString());
}

void MainWindow::showFootLine(QLabel*& line, const char* name, const QString& text)
{
    if (!line && text.isEmpty())
        return;
    if (!line) {
        line = new QLabel(this);
        line->setObjectName(QString::fromLatin1(name));
        statusBar()->setSizeGripEnabled(false);
        statusBar()->addWidget(line, 1);
    }
    line->setText(text);
    line->setAccessibleName(text);
    line->setVisible(!text.isEmpty());
    statusBar()->setVisible((offlineNotice_ && !offlineNotice_->text().isEmpty())
                            || (learningNotice_ && !learningNotice_->text().isEmpty()));
    fitToContents();
}

void MainWindow::fitToContents()
{
    const int notice =
        (offlineNotice_ || learningNotice_) && statusBar()->isVisibleTo(this) ? statusBar()->sizeHint().height() : 0;
    const int noticeChange = notice - std::exchange(noticeHeight_, notice);
    if (!isVisible()) {
        // The designed size; fitted to the screen as the window opens.
        resize(clientLayout::kDesignedClientSize + QSize(0, menuBar()->sizeHint().height() + notice));
        return;
    }
    // The notice's line comes and goes without taking from the list, unless
    // the window fills the screen or would leave it.
    if (noticeChange == 0 || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const int room = screen() ? screen()->availableGeometry().bottom() - frameGeometry().bottom() : 0;
    resize(width(), height() + std::min(noticeChange, std::max(room, 0)));
}

void MainWindow::shutDown()
{
    // Every way out comes here: the window closed, 退出, the desktop's Quit,
    // a logout or a terminal's signal. What a listener would miss is kept
    // first; the rest goes with the destructors once the event loop stops.
    if (shuttingDown_)
        return;
    shuttingDown_ = true;
    // Gone from the screen at once, whatever is still to be kept.
    hide();
    listening_->keepNow();
    keepAwake_->stopHolding();
    if (!downloadQueue_)
        return platform::endProgram();
    // The downloads keep their bytes on their own threads, within one pass
    // of a transfer, and a rename under way ends; then the program does.
    connect(
        downloadQueue_, &DownloadQueue::stopped, this, [] { platform::endProgram(); }, Qt::SingleShotConnection);
    downloadQueue_->stopAll();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Painting the icon's eight sizes takes longer than the rest of the
    // window does; it follows the window's first frame on screen instead of
    // holding it up.
    if (windowIcon().isNull() && windowHandle())
        windowHandle()->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        // Queued: it runs once this expose has been painted.
        QTimer::singleShot(0, this, [this] { setWindowIcon(artwork::loudspeakerAppIcon()); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    shutDown();
    // Hidden, never closed: a quit the application is asked for closes
    // every window first, and goes ahead only if they all close. Refused
    // here, it leaves the end to shutDown(), once the downloads have let go.
    event->ignore();
}

QString MainWindow::favouritesFolder() const
{
    return favouritesFolder_;
}

platform::IntervalTimer* MainWindow::favouritesTimer() const
{
    return &views_->favouritesTimer();
}

DownloadQueue* MainWindow::downloadQueue() const
{
    return downloadQueue_;
}

AboutWindow* MainWindow::aboutWindow() const
{
    return webLinks_->aboutWindow();
}
