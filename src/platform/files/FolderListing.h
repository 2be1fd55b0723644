// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace platform {

// A hidden file list: the names (without folder) of the files in one
// folder that match a pattern, matched without regard to case, sorted by
// name ignoring case, names with a leading dot included. It reads the
// folder when its path is set and when it is told to refresh.
class FolderListing {
public:
    QString path() const { return path_; }
    // Fails, keeping the folder it had, when the folder does not exist.
    bool setPath(const QString& path);
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    void refresh();
    // The name at index; an empty text past the end.
    QString value(int index) const { return names_.value(index); }
    int size() const { return static_cast<int>(names_.size()); }
    const QStringList& names() const { return names_; }

private:
    bool matches(const QString& name) const;

    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    // The pattern's parts: "*.zip" as the suffix ".zip", anything else as
    // a wildcard expression.
    QStringList suffixes_;
    QList<QRegularExpression> wildcards_{QRegularExpression::fromWildcard(u"*.*", Qt::CaseInsensitive)};
    QStringList names_;
};

}  // namespace platform
