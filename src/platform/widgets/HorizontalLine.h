#pragma once

#include <QWidget>

#include <cstdint>

namespace platform {

// A one-pixel horizontal line in a colour of the colour code,
// drawn across the widget's width at its top.
class HorizontalLine : public QWidget {
    Q_OBJECT

public:
    HorizontalLine(std::uint32_t colourCode, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t colour_;
};

}  // namespace platform
