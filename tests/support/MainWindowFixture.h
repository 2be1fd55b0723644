// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "support/MainWindowParts.h"
#include "support/RecordingHost.h"
#include "support/TestHttpServer.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

struct StoredAddresses;

// A main window as a user meets it: loaded against a real library served
// on loopback, with its favourites folder in a fresh temporary program
// folder, shown on the (offscreen) screen.
class MainWindowFixture {
public:
    // folderName: a name pattern for the program folder (ending in XXXXXX),
    // in the temporary folder unless it is a full path.
    explicit MainWindowFixture(const QString& folderName = QStringLiteral("kardelo-XXXXXX"));
    ~MainWindowFixture();

    // Serves these catalogue lines as the server would: GB2312, CR LF.
    void serveCatalogue(const QStringList& lines);
    // Loads and shows the window, and connects its session bus, as the
    // start does; null when the load ended the program. The server answers
    // the version file with the program's own version.
    MainWindow* load();
    MainWindow& window() { return *window_; }

    QString programFolder() const { return folder_.path(); }
    QString favouritesFolder() const;
    // Presses 进 入 on a catalogue row and waits until the conference's
    // lectures show (true) or a message says why not.
    bool enterConference(int row = 0);
    // Serves the first conference's lecture list with these lectures
    // (titles and server paths, alternately; each by 张医生, forty minutes)
    // and enters it.
    bool enterConferenceWith(const QStringList& titlesAndPaths);
    // Every row as "button|percentage", a running percentage as "n%".
    QStringList rowStates() const;
    // Waits, serving events, until no download runs (a minute at most):
    // after a press of 下 载, its end.
    void waitWhileDownloading();
    static void waitWhileDownloading(const MainWindow& window);
    // Runs `progressed` at every progress report of any download the window
    // runs (not at its queueing or its start), as long as `context` lives.
    static QMetaObject::Connection onDownloadProgress(const MainWindow& window, QObject* context,
                                                      std::function<void()> progressed);
    // Every message box shown, as "prompt|warning" or "prompt|no icon".
    QStringList messages() const;
    // Creates stored files in the favourites folder.
    void addFavourites(const QStringList& names);

    // What the rows show right now: the visible rows' first captions.
    QStringList visibleFirstCaptions() const;
    QStringList visibleSecondCaptions() const;

    TestHttpServer server;
    RecordingHost host;

private:
    QTemporaryDir folder_;
    std::unique_ptr<MainWindow> window_;
};

// Loads `window` as the start does and waits until it has opened (true),
// or ended the program.
bool loadAndWait(MainWindow& window);

class StartProcedure;
// Runs the start as main() does and waits until it has shown the window or
// ended the program, or `until` holds; the window is start->window().
std::unique_ptr<StartProcedure> startAndWait(const StoredAddresses& addresses, const QString& programFolder,
                                             const std::function<bool()>& until = {});

// n numbered conference lines "会议k%2013mmdd*".
QStringList conferenceLines(int n);
// n stored lecture names "讲座kk%医生kk$说明kk.zip", in name order.
QStringList favouriteNames(int n);
