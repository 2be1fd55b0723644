// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QFrame>
#include <QPixmap>

namespace platform {

// A container that shows a picture at its top-left corner, clipped to its
// own size, over a background colour, with or without a sunken border.
class PictureBox : public QFrame {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr, bool border = true);

    const QPixmap& picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    // An invalid colour gives the desktop's text-field background.
    void setBackgroundColour(const QColor& colour);
    // Sized to its picture (and border) whenever the picture changes.
    void setAutoSize(bool autoSize);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    bool autoSize_ = false;
};

}  // namespace platform
