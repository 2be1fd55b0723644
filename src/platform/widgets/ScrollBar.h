// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QScrollBar>

namespace platform {

// A vertical scroll bar that reports changed() after every change of its
// value, from the user or from code (a maximum set below the value
// included), and dragged() for each position while the thumb is dragged.
// While the thumb is dragged, position() is where the thumb is.
class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBar(QWidget* parent = nullptr);

    int position() const { return sliderPosition(); }

signals:
    void changed();
    void dragged();
};

}  // namespace platform
