// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/AnchorLayout.h"

#include <QWidget>

#include <algorithm>

namespace platform {

namespace {

// Where an extent of designed length at designed start goes, the container
// being grown by `grown` (less when negative) and the extent now `current`
// long when it is not stretched.
struct Span {
    int start;
    int length;
};

Span follow(int start, int length, int current, bool nearEdge, bool farEdge, int grown)
{
    if (nearEdge && farEdge)
        return {start, std::max(0, length + grown)};
    if (farEdge)
        return {start + length - current + grown, current};
    return {start, current};
}

}  // namespace

AnchorLayout::AnchorLayout(QSize designedSize, QWidget* parent)
    : QLayout(parent),
      designedSize_(designedSize),
      minimumSize_(designedSize)
{
    setContentsMargins(0, 0, 0, 0);
    // The parts are drawn at their designed size; the window sets the limits.
    setSizeConstraint(QLayout::SetNoConstraint);
}

AnchorLayout::~AnchorLayout()
{
    for (const Anchored& anchored : std::as_const(anchored_))
        delete anchored.item;
}

void AnchorLayout::anchor(QWidget* widget, Qt::Edges edges)
{
    const QRect designed = widget->geometry();
    addChildWidget(widget);
    anchored_.append({new QWidgetItem(widget), designed, edges});
    invalidate();
}

void AnchorLayout::setDesignedGeometry(QWidget* widget, const QRect& designed)
{
    const qsizetype index = placeOf(widget);
    if (index < 0)
        return;
    anchored_[index].designed = designed;
    // At once, as a widget placed by hand would be: the part is laid out
    // again only once control returns to the event loop.
    widget->resize(designed.size());
    setGeometry(geometry());
}

void AnchorLayout::setShownFrom(QWidget* widget, int partHeight)
{
    const qsizetype index = placeOf(widget);
    if (index < 0)
        return;
    anchored_[index].shownFrom = partHeight;
    invalidate();
}

QRect AnchorLayout::designedGeometry(const QWidget* widget) const
{
    const qsizetype index = placeOf(widget);
    return index < 0 ? QRect() : anchored_[index].designed;
}

void AnchorLayout::setMinimumSize(QSize size)
{
    minimumSize_ = size;
    invalidate();
}

QSize AnchorLayout::sizeHint() const
{
    return designedSize_;
}

QSize AnchorLayout::minimumSize() const
{
    return minimumSize_;
}

void AnchorLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const QWidget* part = parentWidget();
    if (!part)
        return;
    const QSize grown = part->size() - designedSize_;
    for (const Anchored& anchored : std::as_const(anchored_)) {
        QWidget* widget = anchored.item->widget();
        const QRect& was = anchored.designed;
        const Qt::Edges edges = anchored.edges;
        const Span across = follow(was.x(), was.width(), widget->width(), edges.testFlag(Qt::LeftEdge),
                                   edges.testFlag(Qt::RightEdge), grown.width());
        const Span down = follow(was.y(), was.height(), widget->height(), edges.testFlag(Qt::TopEdge),
                                 edges.testFlag(Qt::BottomEdge), grown.height());
        widget->setGeometry(across.start, down.start, across.length, down.length);
        if (anchored.shownFrom > 0)
            widget->setVisible(part->height() >= anchored.shownFrom);
    }
}

void AnchorLayout::addItem(QLayoutItem* item)
{
    // Widgets come through anchor(), which knows their place.
    anchored_.append({item, item->geometry(), Qt::LeftEdge | Qt::TopEdge});
}

QLayoutItem* AnchorLayout::itemAt(int index) const
{
    return index >= 0 && index < anchored_.size() ? anchored_[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= anchored_.size())
        return nullptr;
    return anchored_.takeAt(index).item;
}

int AnchorLayout::count() const
{
    return static_cast<int>(anchored_.size());
}

qsizetype AnchorLayout::placeOf(const QWidget* widget) const
{
    for (qsizetype i = 0; i < anchored_.size(); ++i) {
        if (anchored_[i].item->widget() == widget)
            return i;
    }
    return -1;
}

}  // namespace platform
