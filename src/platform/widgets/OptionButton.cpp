#include "platform/widgets/OptionButton.h"

#include "platform/widgets/ColourCode.h"

namespace platform {

OptionButton::OptionButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, &OptionButton::chosen);
}

void OptionButton::setSelected(bool selected)
{
    if (selected == isChecked())
        return;
    setChecked(selected);
    if (selected)
        emit chosen();
}

void OptionButton::setTextColour(std::uint32_t colourCode)
{
    textColour_ = colourCode;
    QPalette colours = palette();
    const QColor colour = colourFromCode(colourCode);
    colours.setColor(QPalette::WindowText, colour);
    colours.setColor(QPalette::ButtonText, colour);
    colours.setColor(QPalette::Disabled, QPalette::WindowText, colour.lighter(250));
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, colour.lighter(250));
    setPalette(colours);
}

}  // namespace platform
