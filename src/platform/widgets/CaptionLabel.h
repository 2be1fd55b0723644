// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QLabel>

namespace platform {

// A transparent label with a caption and a text colour given as a colour
// code, which reports every mouse press and release on it. The About
// window's link is such a label, made a CaptionButton so the keyboard
// reaches it too: it acts on the release.
class CaptionLabel : public QLabel {
    Q_OBJECT

public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    QString caption() const { return text(); }
    // Virtual, so a label that shows its caption otherwise to a screen
    // reader learns of every change, and before it is made.
    virtual void setCaption(const QString& caption);
    QColor textColour() const { return textColour_; }
    // An invalid colour gives the desktop's button text.
    void setTextColour(const QColor& colour);
    // Sized to its text whenever the caption changes.
    void setAutoSize(bool autoSize);
    // A caption wider than the label ends in "…", and the whole of it is
    // the tooltip; a screen reader still reads it whole. One that fits is
    // drawn as any label's.
    void setElided(bool elided);
    bool isElidedNow() const;

signals:
    void pressed(Qt::MouseButton button);
    // position: where the button was let go, in the label's own pixels.
    void released(Qt::MouseButton button, QPointF position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateToolTip();

    QColor textColour_;
    bool autoSize_ = false;
    bool elided_ = false;
};

}  // namespace platform
