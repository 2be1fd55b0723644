#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// A hidden file list: the names (without folder) of the files in one
// folder that match a pattern, matched without regard to case, sorted by
// name ignoring case, hidden files left out. It reads the folder when its
// path is set and when it is told to refresh.
class FileListControl {
public:
    QString Path() const { return path_; }
    // Fails, keeping the folder it had, when the folder does not exist.
    bool setPath(const QString& path);
    QString Pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    void Refresh();
    QString List(int index) const { return index >= 0 && index < names_.size() ? names_.at(index) : QString(); }
    int ListCount() const { return static_cast<int>(names_.size()); }

private:
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    QStringList names_;
};

}  // namespace platform
