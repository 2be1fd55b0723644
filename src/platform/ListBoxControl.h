#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// A hidden list box: an ordered list of texts read by 0-based position.
// Reading past the end gives an empty text, as the window code expects.
class ListBoxControl {
public:
    void AddItem(const QString& item) { items_.append(item); }
    void Clear() { items_.clear(); }
    QString List(int index) const { return index >= 0 && index < items_.size() ? items_.at(index) : QString(); }
    int ListCount() const { return static_cast<int>(items_.size()); }
    const QStringList& Items() const { return items_; }

private:
    QStringList items_;
};

}  // namespace platform
