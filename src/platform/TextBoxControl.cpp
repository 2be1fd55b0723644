#include "platform/TextBoxControl.h"

#include "platform/VbColor.h"

namespace platform {

TextBoxControl::TextBoxControl(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &TextBoxControl::Change);
}

void TextBoxControl::setBackColor(std::uint32_t vbColor)
{
    backColor_ = vbColor;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, ColorFromVb(vbColor));
    colours.setColor(QPalette::Disabled, QPalette::Base, ColorFromVb(vbColor));
    setPalette(colours);
}

}  // namespace platform
