#pragma once

#include <QColor>

#include <cstdint>

namespace platform {

// Colours as the layout writes them: &H00BBGGRR, or &H800000nn for a
// system colour, which follows the current palette.
QColor colourFromCode(std::uint32_t value);

inline constexpr std::uint32_t kColourRed = 0x000000FF;
inline constexpr std::uint32_t kColourBlack = 0x00000000;
inline constexpr std::uint32_t kColourWhite = 0x00FFFFFF;
inline constexpr std::uint32_t kColourGrey = 0x00808080;
inline constexpr std::uint32_t kColourLightGrey = 0x00E0E0E0;
inline constexpr std::uint32_t kColourBlue = 0x00FF0000;
inline constexpr std::uint32_t kColourGreen = 0x0000FF00;
inline constexpr std::uint32_t kColourWindowBackground = 0x80000005;
inline constexpr std::uint32_t kColourWindowText = 0x80000008;
inline constexpr std::uint32_t kColourButtonText = 0x80000012;

}  // namespace platform
