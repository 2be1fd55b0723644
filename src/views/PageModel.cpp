// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/PageModel.h"

#include "catalogue/RowCaptions.h"
#include "format/LectureListName.h"
#include "format/RecordFields.h"
#include "format/VisibleControls.h"

namespace {

const QString kEnterCaption = QStringLiteral("进 入");
const QString kDownloadCaption = QStringLiteral("下 载");
const QString kCancelCaption = QStringLiteral("取 消");
const QString kPlayCaption = QStringLiteral("播 放");

struct ShownCaptions {
    QString title;
    QString detail;
};

// A caption that cannot be cut from the entry's fields is never left to a
// row's previous occupant: the row names its own entry by what the entry
// itself gives, so that what a command acts on is what the row says.
ShownCaptions captionsOf(PageView view, const QString& entry, const QString& conference = {})
{
    RowCaptions cut;
    QString ownName;
    switch (view) {
    case PageView::Found:
        if (!conference.isEmpty()) {
            // A lecture found anywhere says which conference holds it.
            const ShownCaptions lecture = captionsOf(PageView::Lectures, entry);
            const ShownCaptions held = captionsOf(PageView::Catalogue, conference);
            return {lecture.title, (held.title + u' ' + held.detail).trimmed()};
        }
        Q_FALLTHROUGH();
    case PageView::Catalogue:
        cut = conferenceRowCaptions(entry);
        ownName = recordTitle(entry).value_or(QString());
        break;
    case PageView::Lectures:
        cut = lectureRowCaptions(entry);
        ownName = recordTitle(entry).value_or(QString());
        break;
    case PageView::Favourites:
        cut = favouriteRowCaptions(entry);
        // Files copied in by hand ("Dr. Li lecture.zip") have no fields.
        ownName = QStringView(entry).chopped(entry.endsWith(u".zip", Qt::CaseInsensitive) ? 4 : 0).toString();
        break;
    }
    return {cut.first.value_or(withVisibleControls(ownName)), cut.second.value_or(QString())};
}

}  // namespace

PageModel::PageModel(QObject* parent) : QAbstractListModel(parent) { }

void PageModel::show(PageView view)
{
    const bool changed = view != view_;
    beginResetModel();
    view_ = view;
    rowOfKey_.clear();
    endResetModel();
    if (changed)
        emit viewChanged(view);
}

void PageModel::setList(PageView view, const QStringList& entries)
{
    if (view != view_) {
        lists_[slotOf(view)] = entries;
        return;
    }
    beginResetModel();
    lists_[slotOf(view)] = entries;
    rowOfKey_.clear();
    endResetModel();
}

void PageModel::setFound(const QStringList& lines, const QStringList& conferenceOfEach)
{
    foundConferences_ = conferenceOfEach;
    setList(PageView::Found, lines);
}

QString PageModel::foundConference(int row) const
{
    return view_ == PageView::Found ? foundConferences_.value(row) : QString();
}

bool PageModel::isLecture(int row) const
{
    return view_ == PageView::Lectures || !foundConference(row).isEmpty();
}

void PageModel::setDownloadSource(DownloadSource source)
{
    downloads_ = std::move(source);
    rowOfKey_.clear();
    if ((view_ == PageView::Lectures || view_ == PageView::Found) && rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1));
}

void PageModel::downloadChanged(const QString& key)
{
    if ((view_ != PageView::Lectures && view_ != PageView::Found) || !downloads_.keyOf)
        return;
    if (rowOfKey_.isEmpty()) {
        for (int row = 0; row < rowCount(); ++row) {
            if (isLecture(row))
                rowOfKey_.insert(downloads_.keyOf(shown()[row]), row);
        }
    }
    if (const auto found = rowOfKey_.constFind(key); found != rowOfKey_.cend() && !key.isEmpty())
        rowChanged(*found, {DownloadStateRole, DownloadProgressRole, StatusTextRole, ActionRole});
}

void PageModel::setListeningSource(ListeningSource source)
{
    listening_ = std::move(source);
    if (view_ == PageView::Favourites && rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {ListeningMarkRole, StatusTextRole});
}

void PageModel::listeningChanged(const QString& storedName)
{
    if (view_ == PageView::Favourites)
        rowsChanged(storedName, {ListeningMarkRole, StatusTextRole});
}

void PageModel::setLoadingConference(const QString& conferenceLine)
{
    const QString was = std::exchange(loadingConference_, conferenceLine);
    if ((view_ != PageView::Catalogue && view_ != PageView::Found) || was == conferenceLine)
        return;
    rowsChanged(was, {LoadingRole, StatusTextRole});
    rowsChanged(conferenceLine, {LoadingRole, StatusTextRole});
}

void PageModel::rowsChanged(const QString& entry, const QList<int>& roles)
{
    if (entry.isEmpty())
        return;
    for (int row = 0; row < rowCount(); ++row) {
        if (shown()[row] == entry)
            rowChanged(row, roles);
    }
}

void PageModel::rowChanged(int row, const QList<int>& roles)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row), index(row), roles);
}

int PageModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown().size());
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
    if (download.state == DownloadState::WaitingForNetwork)
        return kWaitingForNetworkCaption;
    if (download.state == DownloadState::Stored)
        return kStoredCaption;
    if (download.state == DownloadState::Running && download.percent >= 0)
        return QString::number(download.percent) + u'%';
    return {};
}

PageModel::Download PageModel::downloadOf(int row) const
{
    if (!isLecture(row) || !downloads_.keyOf || !downloads_.stateOf)
        return {};
    const QString key = downloads_.keyOf(shown().value(row));
    return key.isEmpty() ? Download() : downloads_.stateOf(key);
}

QVariant PageModel::entryData(int row, int role) const
{
    const QString entry = shown().value(row);
    const bool lecture = isLecture(row);
    const bool loading = !lecture && (view_ == PageView::Catalogue || view_ == PageView::Found) && !entry.isEmpty()
        && entry == loadingConference_;
    switch (role) {
    case CaptionRole:
        return captionsOf(view_, entry, foundConference(row)).title;
    case DetailRole:
        return captionsOf(view_, entry, foundConference(row)).detail;
    case DownloadStateRole:
        return QVariant::fromValue(downloadOf(row).state);
    case DownloadProgressRole:
        return downloadOf(row).percent;
    case ListeningMarkRole:
        return view_ == PageView::Favourites && listening_ && !entry.isEmpty() ? listening_(entry) : QString();
    case LoadingRole:
        return loading;
    case StatusTextRole:
        switch (lecture ? PageView::Lectures : view_) {
        case PageView::Catalogue:
        case PageView::Found:
            return loading ? kLoadingCaption : QString();
        case PageView::Lectures:
            return statusText(downloadOf(row));
        case PageView::Favourites:
            return entryData(row, ListeningMarkRole);
        }
        break;
    case ActionRole:
        switch (lecture ? PageView::Lectures : view_) {
        case PageView::Catalogue:
        case PageView::Found:
            return kEnterCaption;
        case PageView::Lectures:
            switch (downloadOf(row).state) {
            case DownloadState::None:
                return kDownloadCaption;
            case DownloadState::Stored:
                return kPlayCaption;
            case DownloadState::Waiting:
            case DownloadState::WaitingForNetwork:
            case DownloadState::Running:
                break;
            }
            return kCancelCaption;
        case PageView::Favourites:
            return kPlayCaption;
        }
        break;
    case ActionEnabledRole:
        // A conference without a date names no lecture list: entering it
        // could only read some other list, or fail as if the network had.
        return lecture || view_ == PageView::Favourites || entry.isEmpty() || conferenceListFileName(entry).has_value();
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
        {ActionEnabledRole, "actionEnabled"},
    };
}
