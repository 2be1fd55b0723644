// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"

#include <QObject>
#include <QPointer>
#include <QString>

class DownloadEngine;
class ListeningMemory;
class Pager;
class QWidget;
class ViewSwitcher;
struct PageEntries;
struct PageList;
struct ViewBar;

namespace platform {
class IntervalTimer;
}  // namespace platform

// The row action button: in the catalogue it enters a conference, in the
// lectures it downloads a lecture or cancels the download, in the
// favourites it plays a stored lecture from where it was left. A download blocks inside the
// button's release while the window goes on serving events, so a cancel, a
// view switch or another press runs nested inside it.
class RowCommands : public QObject {
    Q_OBJECT

public:
    struct Parts {
        ViewBar& viewBar;
        PageList& pageList;
        PageEntries& entries;
        platform::IntervalTimer& favouritesTimer;
        ListeningMemory& listening;
    };

    // window: the owner of the message boxes.
    RowCommands(Parts parts, Pager& pager, ViewSwitcher& views, const StoredAddresses& addresses,
                QString favouritesFolder, QWidget* window);

    // The engine downloads go through; without one every download fails.
    void setDownloadEngine(DownloadEngine* engine);
    // The row whose percentage shows the running download.
    int downloadRow() const { return downloadRow_; }

    // The action button of that row was clicked: runs the view's command.
    void actionButtonReleased(int row);

    // Shows the download's percentage in its row (the speed is not shown).
    // Connected directly to the engine, so it runs inside the transfer.
    void showProgress(qint64 received, qint64 total, qint32 speed);

signals:
    // A download has ended: stored, or failed. A cancel, the user's or the
    // closing window's, is neither and raises nothing. Raised before the
    // failure's message box.
    void downloadFinished(const QString& lectureTitle, bool stored);

private:
    void enterConference(int row);
    void downloadOrCancel(int row);
    void playFavourite(int row);

    Parts parts_;
    Pager& pager_;
    ViewSwitcher& views_;
    StoredAddresses addresses_;
    QString favouritesFolder_;
    QWidget* window_;
    QPointer<DownloadEngine> downloadEngine_;
    int downloadRow_ = 0;
};
