#pragma once

#include <QColor>

#include <cstdint>

namespace platform {

// Colours as the window model writes them: &H00BBGGRR, or &H800000nn for a
// system colour, which follows the current palette.
QColor ColorFromVb(std::uint32_t value);

inline constexpr std::uint32_t kVbRed = 0x000000FF;
inline constexpr std::uint32_t kVbBlack = 0x00000000;
inline constexpr std::uint32_t kVbWhite = 0x00FFFFFF;
inline constexpr std::uint32_t kVbGrey = 0x00808080;
inline constexpr std::uint32_t kVbLightGrey = 0x00E0E0E0;
inline constexpr std::uint32_t kVbBlue = 0x00FF0000;
inline constexpr std::uint32_t kVbGreen = 0x0000FF00;
inline constexpr std::uint32_t kVbWindowBackground = 0x80000005;
inline constexpr std::uint32_t kVbWindowText = 0x80000008;
inline constexpr std::uint32_t kVbButtonText = 0x80000012;

}  // namespace platform
