#pragma once

#include <QRadioButton>

#include <cstdint>

namespace platform {

// An option of a group. Its Click comes when the user chooses it and also
// when code selects it while it was not selected, so code that switches
// the view by selecting an option runs the same handler the user would.
class OptionButtonControl : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButtonControl(const QString& caption, QWidget* parent = nullptr);

    bool Value() const { return isChecked(); }
    void setValue(bool selected);
    void setForeColor(std::uint32_t vbColor);
    std::uint32_t ForeColor() const { return foreColor_; }

signals:
    void Click();

private:
    std::uint32_t foreColor_ = 0x80000012;
};

}  // namespace platform
