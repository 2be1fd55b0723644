#pragma once

#include "platform/widgets/ColourCode.h"

#include <QRadioButton>

#include <cstdint>

namespace platform {

// An option of a group. Its chosen() comes when the user chooses it and also
// when code selects it while it was not selected, so code that switches
// the view by selecting an option runs the same handler the user would.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr);

    // Selects or clears it; selecting raises chosen() as a click would.
    void setSelected(bool selected);
    void setTextColour(std::uint32_t colourCode);
    std::uint32_t textColour() const { return textColour_; }

signals:
    void chosen();

private:
    std::uint32_t textColour_ = kColourButtonText;
};

}  // namespace platform
