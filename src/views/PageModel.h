// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "parts/CurrentView.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>

#include <functional>

// The entries of the list the page shows, each with what its row says of
// it: the two caption lines, the download's state and progress of a
// lecture, the listening mark of a stored lecture, and, in the catalogue,
// whether the conference's lecture list is being read. Each of those facts
// has one writer: the Pager sets the entries, the download queue is asked
// for a lecture's state and tells when it changes, the listening memory
// likewise for the marks, and the row commands set the loading conference.
// The page's rows draw themselves from here alone.
class PageModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        // The title line; no value when the entry gives none, and then the
        // row keeps the old text.
        CaptionRole = Qt::DisplayRole,
        DetailRole = Qt::UserRole + 1,  // the date or detail line, likewise
        DownloadStateRole,  // a DownloadState, in the lectures
        DownloadProgressRole,  // whole percent, -1 while not known
        ListeningMarkRole,  // "听到 12:34", "已听完" or nothing, in the favourites
        LoadingRole,  // the conference's lecture list is being read
        StatusTextRole,  // what the row's percentage label says
        ActionRole,  // the caption of the row's action button
    };

    enum class DownloadState { None, Waiting, Running };
    Q_ENUM(DownloadState)
    struct Download {
        DownloadState state = DownloadState::None;
        int percent = -1;
    };
    // Where the lectures' download states come from: the key a lecture line
    // is downloaded under (empty for none), and the state of a key.
    struct DownloadSource {
        std::function<QString(const QString& lectureLine)> keyOf;
        std::function<Download(const QString& key)> stateOf;
    };
    using ListeningSource = std::function<QString(const QString& storedName)>;

    static inline const QString kLoadingCaption = QStringLiteral("读取中");
    static inline const QString kWaitingCaption = QStringLiteral("等待下载");

    explicit PageModel(QObject* parent = nullptr);

    // What a lecture row's percentage label says of its download.
    static QString statusText(const Download& download);

    // A fresh list: the lines of the catalogue or of a conference, or the
    // names of stored lectures.
    void show(PageView view, const QStringList& entries);
    PageView view() const { return view_; }
    // The entry in that place, empty past the end.
    QString entry(int row) const { return entries_.value(row); }

    void setDownloadSource(DownloadSource source);
    // The download under that key has changed.
    void downloadChanged(const QString& key);
    void setListeningSource(ListeningSource source);
    // The stored lecture's listening place has changed.
    void listeningChanged(const QString& storedName);
    // The catalogue entry whose lecture list is being read; -1 for none.
    void setLoadingRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    // As data(), for any place: past the end it speaks of an empty entry,
    // which is what a row beyond the list shows.
    QVariant entryData(int row, int role) const;

private:
    Download downloadOf(const QString& line) const;
    void rowChanged(int row, const QList<int>& roles);

    PageView view_ = PageView::Catalogue;
    QStringList entries_;
    DownloadSource downloads_;
    ListeningSource listening_;
    int loadingRow_ = -1;
    // The lectures' rows by download key, made when first asked for.
    mutable QHash<QString, int> rowOfKey_;
};
