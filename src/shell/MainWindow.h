// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "KardeloVersion.h"
#include "catalogue/StoredAddresses.h"
#include "parts/PageList.h"
#include "parts/PlayerBar.h"
#include "parts/SidePanel.h"
#include "parts/ViewBar.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class AboutWindow;
class DownloadQueue;
class LibraryAvailability;
class KeptLibrary;
class LibraryLearner;
class LibraryConnection;
class QLabel;
class ListeningMemory;
class KeepAwakeWhilePlaying;
class LectureSequence;
class PageModel;
class Pager;
class Playback;
class QAction;
class QMenu;
class ConferenceNavigation;
class DownloadCommands;
class FavouritePlayer;
class ViewSwitcher;
class WebLinks;

namespace platform {
class IntervalTimer;
class NetworkAccess;
class SessionBus;
}  // namespace platform

// The menu bar's commands.
struct MenuActions {
    QMenu* fileMenu = nullptr;
    QAction* quit = nullptr;  // 退出
    QMenu* helpMenu = nullptr;
    QAction* showAbout = nullptr;  // 版本信息
    QAction* openHelpPage = nullptr;  // 操作说明
    QAction* openHomePage = nullptr;  // 访问作者主页
};

// The main window. It builds its parts and the subsystems, hands each
// subsystem the parts it works on and connects them. What the page shows
// lives in the page model, the scroll position in the pager; a row's
// command goes to the controller of the view shown, with the model entry
// the row shows.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static inline const QString kDesignTitle = QStringLiteral("Kardelo V") + kDisplayVersion;
    static inline const QString kFavouritesFolderName = QStringLiteral("我的收藏");

    // programFolder is the program's own folder in a real run; the
    // favourites folder lies in it when the user can write there, and in the
    // user's data folder otherwise.
    explicit MainWindow(const StoredAddresses& addresses, const QString& programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Makes the favourites folder and lists it, then reads the library: the
    // window is opened() on the catalogue's first page once it has been
    // read; on the favourites when it cannot be, or not within
    // LibraryAvailability::kOfflineAfter, or the system says there is no
    // network, and lectures are stored. With nothing stored and no library,
    // the program is told so and ended().
    void loadAtStartUp();
    // Whether the window has opened, and whether it has done so without the
    // library (until the library is reached again).
    bool hasOpened() const;
    bool isOffline() const;
    // Keeps where the lecture playing was left and each running download's
    // bytes for a resume, lets the screen saver go, and ends the program.
    void shutDown();

    QString favouritesFolder() const;

    SidePanel& sidePanel() { return sidePanel_; }
    ViewBar& viewBar() { return viewBar_; }
    PageList& pageList() { return pageList_; }
    PlayerBar& playerBar() { return playerBar_; }
    const MenuActions& menuActions() const { return menuActions_; }
    // Shows the favourites a moment after the last queued download has ended.
    platform::IntervalTimer* favouritesTimer() const;

    PageModel& pageModel() { return *pageModel_; }
    Pager& pager() { return *pager_; }
    Playback& playback() { return *playback_; }
    ListeningMemory& listening() { return *listening_; }
    LectureSequence& sequence() { return *sequence_; }
    ViewSwitcher& views() { return *views_; }
    WebLinks& webLinks() { return *webLinks_; }
    LibraryConnection& library() { return *library_; }
    LibraryAvailability& availability() { return *availability_; }
    platform::NetworkAccess& network() { return *network_; }
    // The media keys, the screen saver hold and the notifications wait for
    // it; the start connects it once the window is up.
    platform::SessionBus& sessionBus() { return *sessionBus_; }
    // What the window says of the library while it cannot be reached; null
    // until then.
    QLabel* offlineNotice() const { return offlineNotice_; }
    // How far learning the whole library is, beside it; null until then.
    QLabel* learningNotice() const { return learningNotice_; }
    // Null until the load step; empty after the shutdown step.
    DownloadQueue* downloadQueue() const;
    AboutWindow* aboutWindow() const;

signals:
    // Ready to be shown: on the catalogue, or offline on the favourites.
    void opened();
    // The start ended the program.
    void ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void connectParts();
    void connectListeningOn();
    // A row's action button was pressed on that entry of the view shown.
    void runRowAction(int entry);
    void orderTabs();
    void connectAvailability();
    void catalogueChosen();
    void showOfflineNotice(const QString& text);
    void showLearningProgress(int listsRead, int listsInAll);
    // Sets one of the lines at the window's foot, made when first needed.
    void showFootLine(QLabel*& line, const char* name, const QString& text);
    // Learns every lecture of the library for the search box, the
    // catalogue's names searched meanwhile.
    void learnWholeLibrary(const QStringList& conferenceLines, bool offline);
    void fitToContents();

    StoredAddresses addresses_;
    QString favouritesFolder_;
    // The program's one network core: every fetch shares its connections.
    platform::NetworkAccess* network_ = nullptr;
    // The library's texts as last read, in the user's cache folder.
    std::unique_ptr<KeptLibrary> keptLibrary_;
    platform::SessionBus* sessionBus_ = nullptr;
    LibraryConnection* library_ = nullptr;
    LibraryAvailability* availability_ = nullptr;
    QLabel* offlineNotice_ = nullptr;
    QLabel* learningNotice_ = nullptr;
    LibraryLearner* learner_ = nullptr;
    bool shuttingDown_ = false;
    int noticeHeight_ = 0;

    SidePanel sidePanel_;
    ViewBar viewBar_;
    PageList pageList_;
    PlayerBar playerBar_;
    MenuActions menuActions_;

    PageModel* pageModel_ = nullptr;
    Pager* pager_ = nullptr;
    Playback* playback_ = nullptr;
    ListeningMemory* listening_ = nullptr;
    LectureSequence* sequence_ = nullptr;
    KeepAwakeWhilePlaying* keepAwake_ = nullptr;
    ViewSwitcher* views_ = nullptr;
    ConferenceNavigation* conferenceNavigation_ = nullptr;
    DownloadCommands* downloadCommands_ = nullptr;
    FavouritePlayer* favouritePlayer_ = nullptr;
    WebLinks* webLinks_ = nullptr;
    QPointer<DownloadQueue> downloadQueue_;
};
