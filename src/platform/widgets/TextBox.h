#pragma once

#include "platform/widgets/ColourCode.h"

#include <QLineEdit>

#include <cstdint>

namespace platform {

// A single-line text box whose changed() comes with every change of its text,
// typed or set by code.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    void setBackgroundColour(std::uint32_t colourCode);
    std::uint32_t backgroundColour() const { return backgroundColour_; }

signals:
    void changed();

private:
    std::uint32_t backgroundColour_ = kColourWindowBackground;
};

}  // namespace platform
