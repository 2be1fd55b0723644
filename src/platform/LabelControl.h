#pragma once

#include <QLabel>

#include <cstdint>

namespace platform {

// A transparent label with a caption, a fore colour in the window model's
// encoding, and mouse press and release events that name the button.
class LabelControl : public QLabel {
    Q_OBJECT

public:
    explicit LabelControl(QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption);
    std::uint32_t ForeColor() const { return foreColor_; }
    void setForeColor(std::uint32_t vbColor);
    // Sized to its text, as labels with AutoSize are.
    void setAutoSize(bool autoSize);

signals:
    void MouseDown(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::uint32_t foreColor_ = 0x80000012;
    bool autoSize_ = false;
};

}  // namespace platform
