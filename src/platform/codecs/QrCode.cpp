// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/codecs/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace platform {

QrMatrix encodeQr(const QString& text)
{
    if (text.isEmpty())
        return {};
    const QByteArray utf8 = text.toUtf8();
    // Version 0 lets the library pick the smallest symbol; mixed modes keep
    // digit runs such as a port number compact. Kanji mode is left out since
    // it would need the text in Shift JIS.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code || code->width <= 0)
        return {};

    QrMatrix matrix;
    matrix.width = code->width;
    matrix.modules.resize(static_cast<std::size_t>(code->width) * static_cast<std::size_t>(code->width));
    for (std::size_t i = 0; i < matrix.modules.size(); ++i)
        matrix.modules[i] = (code->data[i] & 1) != 0;
    return matrix;
}

}  // namespace platform
