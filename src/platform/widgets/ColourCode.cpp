#include "platform/widgets/ColourCode.h"

#include <QGuiApplication>
#include <QPalette>

namespace platform {

QColor colourFromCode(std::uint32_t value)
{
    if (value & 0x80000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (value & 0xFFu) {
        case 0x05:
            return palette.color(QPalette::Base);
        case 0x08:
            return palette.color(QPalette::WindowText);
        case 0x12:
            return palette.color(QPalette::ButtonText);
        case 0x0F:
            return palette.color(QPalette::Button);
        default:
            return palette.color(QPalette::WindowText);
        }
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace platform
