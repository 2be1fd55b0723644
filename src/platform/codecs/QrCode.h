// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <vector>

namespace platform {

// A QR symbol as a square of modules, row by row, true for dark. Without a
// quiet zone: whoever draws it leaves the light margin around it.
struct QrMatrix {
    int width = 0;
    std::vector<bool> modules;

    bool isNull() const { return width == 0; }
    bool dark(int column, int row) const { return modules[static_cast<std::size_t>(row * width + column)]; }
};

// Encodes the text as UTF-8 in the smallest symbol that holds it, with
// error correction level M, which survives a smudged screen or a glare
// spot while keeping the modules large. Empty text, or text too long for
// any symbol, gives a null matrix.
QrMatrix encodeQr(const QString& text);

}  // namespace platform
