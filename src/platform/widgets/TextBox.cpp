#include "platform/widgets/TextBox.h"

#include "platform/widgets/ColourCode.h"

namespace platform {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &TextBox::changed);
}

void TextBox::setBackgroundColour(std::uint32_t colourCode)
{
    backgroundColour_ = colourCode;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colourFromCode(colourCode));
    colours.setColor(QPalette::Disabled, QPalette::Base, colourFromCode(colourCode));
    setPalette(colours);
}

}  // namespace platform
