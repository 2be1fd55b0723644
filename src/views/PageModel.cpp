// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/PageModel.h"

#include "catalogue/RowCaptions.h"

namespace {

const QString kEnterCaption = QStringLiteral("进 入");
const QString kDownloadCaption = QStringLiteral("下 载");
const QString kCancelCaption = QStringLiteral("取 消");
const QString kPlayCaption = QStringLiteral("播 放");

RowCaptions captionsOf(PageView view, const QString& entry)
{
    switch (view) {
    case PageView::Catalogue:
        return conferenceRowCaptions(entry);
    case PageView::Lectures:
        return lectureRowCaptions(entry);
    case PageView::Favourites:
        return favouriteRowCaptions(entry);
    }
    return {};
}

QVariant valueOf(const std::optional<QString>& caption)
{
    return caption ? QVariant(*caption) : QVariant();
}

}  // namespace

PageModel::PageModel(QObject* parent) : QAbstractListModel(parent) { }

void PageModel::show(PageView view, const QStringList& entries)
{
    beginResetModel();
    view_ = view;
    entries_ = entries;
    rowOfKey_.clear();
    endResetModel();
}

void PageModel::setDownloadSource(DownloadSource source)
{
    downloads_ = std::move(source);
    rowOfKey_.clear();
    if (view_ == PageView::Lectures && !entries_.isEmpty())
        emit dataChanged(index(0), index(rowCount() - 1));
}

void PageModel::downloadChanged(const QString& key)
{
    if (view_ != PageView::Lectures || !downloads_.keyOf)
        return;
    if (rowOfKey_.isEmpty()) {
        for (int row = 0; row < rowCount(); ++row)
            rowOfKey_.insert(downloads_.keyOf(entries_[row]), row);
    }
    if (const auto found = rowOfKey_.constFind(key); found != rowOfKey_.cend() && !key.isEmpty())
        rowChanged(*found, {DownloadStateRole, DownloadProgressRole, StatusTextRole, ActionRole});
}

void PageModel::setListeningSource(ListeningSource source)
{
    listening_ = std::move(source);
    if (view_ == PageView::Favourites && !entries_.isEmpty())
        emit dataChanged(index(0), index(rowCount() - 1), {ListeningMarkRole, StatusTextRole});
}

void PageModel::listeningChanged(const QString& storedName)
{
    if (view_ == PageView::Favourites)
        rowChanged(static_cast<int>(entries_.indexOf(storedName)), {ListeningMarkRole, StatusTextRole});
}

void PageModel::setLoadingRow(int row)
{
    const int was = std::exchange(loadingRow_, row);
    if (view_ != PageView::Catalogue || was == row)
        return;
    rowChanged(was, {LoadingRole, StatusTextRole});
    rowChanged(row, {LoadingRole, StatusTextRole});
}

void PageModel::rowChanged(int row, const QList<int>& roles)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row), index(row), roles);
}

int PageModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant PageModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return entryData(index.row(), role);
}

QString PageModel::statusText(const Download& download)
{
    if (download.state == DownloadState::Waiting)
        return kWaitingCaption;
    if (download.state == DownloadState::Running && download.percent >= 0)
        return QString::number(download.percent) + u'%';
    return {};
}

PageModel::Download PageModel::downloadOf(const QString& line) const
{
    if (view_ != PageView::Lectures || !downloads_.keyOf || !downloads_.stateOf)
        return {};
    const QString key = downloads_.keyOf(line);
    return key.isEmpty() ? Download() : downloads_.stateOf(key);
}

QVariant PageModel::entryData(int row, int role) const
{
    const QString entry = entries_.value(row);
    switch (role) {
    case CaptionRole:
        return valueOf(captionsOf(view_, entry).first);
    case DetailRole:
        return valueOf(captionsOf(view_, entry).second);
    case DownloadStateRole:
        return QVariant::fromValue(downloadOf(entry).state);
    case DownloadProgressRole:
        return downloadOf(entry).percent;
    case ListeningMarkRole:
        return view_ == PageView::Favourites && listening_ && !entry.isEmpty() ? listening_(entry) : QString();
    case LoadingRole:
        return view_ == PageView::Catalogue && row == loadingRow_;
    case StatusTextRole:
        switch (view_) {
        case PageView::Catalogue:
            return row == loadingRow_ ? kLoadingCaption : QString();
        case PageView::Lectures:
            return statusText(downloadOf(entry));
        case PageView::Favourites:
            return entryData(row, ListeningMarkRole);
        }
        break;
    case ActionRole:
        switch (view_) {
        case PageView::Catalogue:
            return kEnterCaption;
        case PageView::Lectures:
            return downloadOf(entry).state == DownloadState::None ? kDownloadCaption : kCancelCaption;
        case PageView::Favourites:
            return kPlayCaption;
        }
        break;
    default:
        break;
    }
    return {};
}

QHash<int, QByteArray> PageModel::roleNames() const
{
    return {
        {CaptionRole, "caption"},
        {DetailRole, "detail"},
        {DownloadStateRole, "downloadState"},
        {DownloadProgressRole, "downloadProgress"},
        {ListeningMarkRole, "listeningMark"},
        {LoadingRole, "loading"},
        {StatusTextRole, "statusText"},
        {ActionRole, "action"},
    };
}
