#include "platform/OptionButtonControl.h"

#include "platform/VbColor.h"

namespace platform {

OptionButtonControl::OptionButtonControl(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, &OptionButtonControl::Click);
}

void OptionButtonControl::setValue(bool selected)
{
    if (selected == isChecked())
        return;
    setChecked(selected);
    if (selected)
        emit Click();
}

void OptionButtonControl::setForeColor(std::uint32_t vbColor)
{
    foreColor_ = vbColor;
    QPalette colours = palette();
    const QColor colour = ColorFromVb(vbColor);
    colours.setColor(QPalette::WindowText, colour);
    colours.setColor(QPalette::ButtonText, colour);
    colours.setColor(QPalette::Disabled, QPalette::WindowText, colour.lighter(250));
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, colour.lighter(250));
    setPalette(colours);
}

}  // namespace platform
