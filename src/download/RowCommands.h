// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class DownloadEngine;
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
// so, and another 进 入 replaces it. A download runs while the window goes
// on too; a second 下 载 while it runs is refused.
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
    // What a conference's row says while its lecture list is read.
    static inline const QString kLoadingCaption = QStringLiteral("读取中");

    RowCommands(Parts parts, Pager& pager, ViewSwitcher& views, platform::NetworkAccess& network,
                const StoredAddresses& addresses, QString favouritesFolder, QWidget* window);
    ~RowCommands() override;

    // The engine downloads go through; without one every download fails.
    void setDownloadEngine(DownloadEngine* engine);
    // The row whose percentage shows the running download.
    int downloadRow() const { return downloadRow_; }

    // The action button of that row was clicked: runs the view's command.
    void actionButtonReleased(int row);

    // Shows the download's percentage in its row (the speed is not shown).
    void showProgress(qint64 received, qint64 total, qint32 speed);

signals:
    // A download has ended: stored, or failed. A cancel, the user's or the
    // closing window's, is neither and raises nothing. Raised before the
    // failure's message box.
    void downloadFinished(const QString& lectureTitle, bool stored);

private:
    void enterConference(int row);
    void lectureListRead(const QString& address, const QString& text);
    // The loading conference's row, if the catalogue page shows it, says so.
    void showLoadingMark();
    void downloadOrCancel(int row);
    void downloadEnded(const DownloadResult& result);
    void playFavourite(int row);

    Parts parts_;
    Pager& pager_;
    ViewSwitcher& views_;
    platform::NetworkAccess& network_;
    StoredAddresses addresses_;
    QString favouritesFolder_;
    QWidget* window_;
    QPointer<DownloadEngine> downloadEngine_;
    int downloadRow_ = 0;
    // The lecture line of the running download.
    QString downloadLine_;
    std::unique_ptr<TextFetch> listFetch_;
    // The conference whose list is read, by its place in the catalogue.
    int loadingConference_ = -1;
};
