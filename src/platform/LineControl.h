#pragma once

#include <QWidget>

#include <cstdint>

namespace platform {

// A one-pixel horizontal line in a colour of the window model's encoding,
// drawn across the widget's width at its top.
class LineControl : public QWidget {
    Q_OBJECT

public:
    LineControl(std::uint32_t vbColor, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t colour_;
};

}  // namespace platform
