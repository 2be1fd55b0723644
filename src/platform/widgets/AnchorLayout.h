// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLayout>
#include <QList>
#include <QRect>
#include <QSize>

namespace platform {

// A layout for a part drawn at one size: each widget keeps the place it
// was given at that size, and when the part is given another, follows the
// edges it is anchored to. A widget anchored to the left and the right
// stretches with the width, one anchored to the right only keeps its
// distance from the right edge, and the same holds for the top and the
// bottom. So the part looks, at its designed size, exactly as it was drawn.
//
// A widget that is not stretched in a direction keeps the size it has in
// it (a label sized to its text), and is placed by the edge it follows.
class AnchorLayout : public QLayout {
    Q_OBJECT

public:
    // designedSize: the size of parent when the widgets are anchored.
    AnchorLayout(QSize designedSize, QWidget* parent);
    ~AnchorLayout() override;

    // Lays out widget, a child of the parent, from where it is now.
    // Top-left when no edges are given.
    void anchor(QWidget* widget, Qt::Edges edges);
    // Where widget goes at the designed size from now on, as when a view
    // asks for another arrangement of the same part.
    void setDesignedGeometry(QWidget* widget, const QRect& designed);
    QRect designedGeometry(const QWidget* widget) const;
    // Shows widget only while the part is at least partHeight tall: what
    // the part gives up when the room is short.
    void setShownFrom(QWidget* widget, int partHeight);
    QSize designedSize() const { return designedSize_; }
    // The smallest size the part is usable at; the designed size unless set.
    void setMinimumSize(QSize size);

    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;

private:
    struct Anchored {
        QLayoutItem* item = nullptr;
        QRect designed;
        Qt::Edges edges;
        int shownFrom = 0;
    };

    qsizetype placeOf(const QWidget* widget) const;

    const QSize designedSize_;
    QSize minimumSize_;
    QList<Anchored> anchored_;
};

}  // namespace platform
