// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// The key every stored address list is made with. The build reads this very
// line to encode the server addresses, so the two always agree.
inline constexpr std::int16_t kAddressKey = 10795;
