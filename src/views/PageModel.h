// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "parts/PageView.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>

#include <array>
#include <functional>

// What the page shows, and the one place each fact of it is kept: which
// view is shown, the list behind each view (the catalogue's conference
// lines, the lecture lines of the conference last entered, the stored
// lectures' file names), and of each entry of the view shown what its row
// says: the two caption lines, the download's state and progress of a
// lecture, the listening mark of a stored lecture, and, in the catalogue,
// whether the conference's lecture list is being read. The lists are set
// by those who read them, the download queue is asked for a lecture's state
// and tells when it changes, the listening memory likewise for the marks.
// The rows draw themselves from here alone, and a command on a row acts on
// the entry it is handed from here, never on what a row shows.
class PageModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        // The title line, always a text: what the entry's fields give, or,
        // when they cannot be cut, what the entry itself gives (a
        // conference's or lecture's title, a stored lecture's file name
        // without ".zip").
        CaptionRole = Qt::DisplayRole,
        DetailRole = Qt::UserRole + 1,  // the date or detail line; empty when it cannot be cut
        DownloadStateRole,  // a DownloadState, in the lectures
        DownloadProgressRole,  // whole percent, -1 while not known
        ListeningMarkRole,  // "听到 12:34", "已听完" or nothing, in the favourites
        LoadingRole,  // the conference's lecture list is being read
        StatusTextRole,  // what the row's percentage label says
        ActionRole,  // the caption of the row's action button
        ActionEnabledRole,  // whether the action button can be pressed
    };

    // WaitingForNetwork: queued while the window has no library. Stored: the
    // lecture is in the favourites folder, and its row plays it.
    enum class DownloadState { None, Waiting, WaitingForNetwork, Running, Stored };
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
    static inline const QString kWaitingForNetworkCaption = QStringLiteral("等待网络");
    static inline const QString kStoredCaption = QStringLiteral("已下载");

    explicit PageModel(QObject* parent = nullptr);

    // What a lecture row's percentage label says of its download.
    static QString statusText(const Download& download);

    PageView view() const { return view_; }
    // A fresh page of that view's list, from its first entry, whether or not
    // it was shown already.
    void show(PageView view);
    // The list behind a view; a fresh page when it is the one shown.
    void setList(PageView view, const QStringList& entries);
    const QStringList& list(PageView view) const { return lists_[slotOf(view)]; }
    // The entry of the view shown in that place, empty past the end.
    QString entry(int row) const { return shown().value(row); }
    // What a search of the whole library found: each a conference's line
    // or a lecture's, with the line of the lecture's conference (empty for
    // a conference).
    void setFound(const QStringList& lines, const QStringList& conferenceOfEach);
    // The conference line of a lecture found in that place; empty for a
    // conference, and in any other view.
    QString foundConference(int row) const;
    // Whether the entry in that place is a lecture: in the lectures, or a
    // lecture found.
    bool isLecture(int row) const;

    void setDownloadSource(DownloadSource source);
    // The download under that key has changed.
    void downloadChanged(const QString& key);
    void setListeningSource(ListeningSource source);
    // The stored lecture's listening place has changed.
    void listeningChanged(const QString& storedName);
    // The conference line whose lecture list is being read; empty for none.
    void setLoadingConference(const QString& conferenceLine);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    // As data(), for any place: past the end it speaks of an empty entry,
    // which is what a row beyond the list shows.
    QVariant entryData(int row, int role) const;

signals:
    // Another view is shown; the fresh page follows as a model reset.
    void viewChanged(PageView view);

private:
    static int slotOf(PageView view) { return static_cast<int>(view); }
    const QStringList& shown() const { return lists_[slotOf(view_)]; }
    Download downloadOf(int row) const;
    void rowChanged(int row, const QList<int>& roles);
    void rowsChanged(const QString& entry, const QList<int>& roles);

    PageView view_ = PageView::Catalogue;
    std::array<QStringList, 4> lists_;
    QStringList foundConferences_;
    DownloadSource downloads_;
    ListeningSource listening_;
    QString loadingConference_;
    // The lectures' rows by download key, made when first asked for.
    mutable QHash<QString, int> rowOfKey_;
};
