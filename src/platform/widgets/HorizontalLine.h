// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QWidget>

namespace platform {

// A one-pixel horizontal line in a colour of the colour code,
// drawn across the widget's width at its top.
class HorizontalLine : public QWidget {
    Q_OBJECT

public:
    HorizontalLine(const QColor& colour, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

}  // namespace platform
