// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"
#include "download/DownloadQueue.h"
#include "views/PageModel.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class DownloadFailureBox;
class DownloadResult;
class ListeningMemory;
class Pager;
class QWidget;
class TextFetch;
class ViewSwitcher;
struct PageEntries;
struct PageList;
struct ViewBar;

namespace platform {
class IntervalTimer;
class NetworkAccess;
}  // namespace platform

// The row action button: in the catalogue it enters a conference, in the
// lectures it downloads a lecture or cancels the download, in the
// favourites it plays a stored lecture from where it was left. A
// conference's lecture list is read while the window goes on: its row says
// so, and another 进 入 replaces it. Downloads run while the window goes on
// too, queued in the order pressed; each lecture row shows its own
// lecture's place in the queue, whatever the page showed when it was
// pressed.
class RowCommands : public QObject {
    Q_OBJECT

public:
    struct Parts {
        ViewBar& viewBar;
        PageList& pageList;
        PageEntries& entries;
        platform::IntervalTimer& favouritesTimer;
        ListeningMemory& listening;
        PageModel& model;
    };

    // window: the owner of the message boxes.
    RowCommands(Parts parts, Pager& pager, ViewSwitcher& views, platform::NetworkAccess& network,
                const StoredAddresses& addresses, QString favouritesFolder, QWidget* window);
    ~RowCommands() override;

    // The queue downloads go through, and the page's source of download
    // states; without one every download fails.
    void setDownloadQueue(DownloadQueue* queue);

    // The action button of that row was clicked: runs the view's command.
    void actionButtonReleased(int row);

    // What the page shows of a lecture in that state: its whole percentage
    // while it runs, -1 while its size is unknown.
    static PageModel::Download rowDownload(const DownloadQueue::State& state);

signals:
    // A download has ended: stored, or failed. A cancel, the user's or the
    // closing window's, is neither and raises nothing. Raised before the
    // failure's message box.
    void downloadFinished(const QString& lectureTitle, bool stored);

private:
    void enterConference(int row);
    void lectureListRead(const QString& address, const QString& text);
    void downloadOrCancel(int row);
    std::optional<QString> targetPath(const QString& lectureLine) const;
    void downloadEnded(const QString& title, const DownloadResult& result);
    void queueEmptied();
    void playFavourite(int row);

    Parts parts_;
    Pager& pager_;
    ViewSwitcher& views_;
    platform::NetworkAccess& network_;
    StoredAddresses addresses_;
    QString favouritesFolder_;
    QWidget* window_;
    DownloadFailureBox* failureBox_;
    QPointer<DownloadQueue> downloadQueue_;
    // Whether a lecture was stored since the queue was last empty.
    bool storedSinceEmptied_ = false;
    std::unique_ptr<TextFetch> listFetch_;
};
