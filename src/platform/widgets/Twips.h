#pragma once

#include <QRect>

namespace platform {

// The window layout is measured in twips; at 96 dots per inch 15 make a pixel,
// and Qt scales pixels for denser screens.
inline constexpr int kTwipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips)
{
    return (twips >= 0 ? twips + kTwipsPerPixel / 2 : twips - kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr QRect rectFromTwips(int left, int top, int width, int height)
{
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width), pixelsFromTwips(height));
}

}  // namespace platform
