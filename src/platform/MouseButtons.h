#pragma once

#include <Qt>

namespace platform {

// Mouse buttons and shift state numbered as the window model's handlers
// expect them: left 1, right 2, middle 4; shift 1, ctrl 2, alt 4.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

int VbButton(Qt::MouseButton button);
int VbShift(Qt::KeyboardModifiers modifiers);

}  // namespace platform
