// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

// Which list the page shows.
enum class PageView { Catalogue, Lectures, Favourites };

// The view the page shows, as a value with one signal when it changes. The
// view options show it and choose it; what a row's button does and what
// the page shows as it scrolls follow it.
class CurrentView : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    PageView value() const { return value_; }
    void set(PageView view);

signals:
    void changed(PageView view);

private:
    PageView value_ = PageView::Catalogue;
};
