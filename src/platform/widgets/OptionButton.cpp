// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/OptionButton.h"

#include <QGuiApplication>

namespace platform {

OptionButton::OptionButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, &OptionButton::chosen);
}

void OptionButton::setTextColour(const QColor& chosen)
{
    textColour_ = chosen;
    QPalette colours = palette();
    const QColor colour = chosen.isValid() ? chosen : QGuiApplication::palette().color(QPalette::ButtonText);
    colours.setColor(QPalette::WindowText, colour);
    colours.setColor(QPalette::ButtonText, colour);
    colours.setColor(QPalette::Disabled, QPalette::WindowText, colour.lighter(250));
    colours.setColor(QPalette::Disabled, QPalette::ButtonText, colour.lighter(250));
    setPalette(colours);
}

}  // namespace platform
