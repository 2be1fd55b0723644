// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/TextBox.h"

#include <QGuiApplication>

namespace platform {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &TextBox::changed);
}

void TextBox::setBackgroundColour(const QColor& colour)
{
    backgroundColour_ = colour;
    const QColor shown = colour.isValid() ? colour : QGuiApplication::palette().color(QPalette::Base);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, shown);
    colours.setColor(QPalette::Disabled, QPalette::Base, shown);
    setPalette(colours);
}

}  // namespace platform
