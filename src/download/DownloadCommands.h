// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "download/DownloadQueue.h"
#include "views/PageModel.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class DownloadFailureBox;
class DownloadResult;
class QWidget;

// 下 载 and 取 消 on a lecture of the conference entered: queues the
// lecture its own line names for the favourites folder, or takes it out of
// the queue. Downloads run while the window goes on, queued in the order
// pressed, and the page model hears from here how each lecture stands, by
// the file it is stored in, so every row shows its own lecture's place in
// the queue whatever the page showed when it was pressed, and a lecture
// stored already shows so ("已下载", its button plays it). Failures are
// counted into one "下载失败!" box.
class DownloadCommands : public QObject {
    Q_OBJECT

public:
    // Whether the favourites folder holds a file of that name.
    using StoredCheck = std::function<bool(const QString& fileName)>;

    // window: the owner of the message box.
    DownloadCommands(PageModel& model, QString favouritesFolder, StoredCheck isStored, QWidget* window);
    ~DownloadCommands() override;

    // The queue downloads go through; without one every download fails.
    void setDownloadQueue(DownloadQueue* queue);

    // Downloads the lecture of that lectures entry, or cancels its download.
    void downloadOrCancel(int entry);

    // What the page shows of a lecture in that state: its whole percentage
    // while it runs, -1 while its size is unknown.
    static PageModel::Download rowDownload(const DownloadQueue::State& state);

signals:
    // A download has ended: stored, or failed. A cancel, the user's or the
    // closing window's, is neither and raises nothing. Raised before the
    // failure's message box.
    void downloadFinished(const QString& lectureTitle, bool stored);
    // A lecture is in the favourites folder now, or was found there when it
    // was pressed for: the favourites listing is out of date.
    void lectureStored(const QString& fileName);

private:
    std::optional<QString> targetPath(const QString& lectureLine) const;
    void downloadEnded(const QString& targetPath, const QString& title, const DownloadResult& result);
    void storedNow(const QString& targetPath);

    PageModel& model_;
    QString favouritesFolder_;
    StoredCheck isStored_;
    DownloadFailureBox* failureBox_;
    QPointer<DownloadQueue> downloadQueue_;
};
