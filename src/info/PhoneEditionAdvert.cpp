// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/PhoneEditionAdvert.h"

#include "format/DecodeAddress.h"
#include "platform/codecs/QrCode.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <utility>

namespace {

constexpr int kLogicalWidth = 137;
constexpr int kLogicalHeight = 170;
// Scanners expect four light modules around the symbol.
constexpr int kQuietModules = 4;
constexpr int kPromptPixelSize = 12;

const QString& prompt()
{
    static const QString prompt = QStringLiteral("扫码下载安卓手机版");
    return prompt;
}

platform::QrMatrix symbolFor(const QString& storedAddress)
{
    // Without a page to point at, the prompt alone still tells the user the
    // phone edition exists.
    const QString address = builtInAddress(storedAddress);
    return address.isEmpty() ? platform::QrMatrix{} : platform::encodeQr(address);
}

}  // namespace

QPixmap phoneEditionAdvert(const QString& storedPhoneEditionAddress, qreal dpr)
{
    if (!(dpr > 0) || !std::isfinite(dpr))
        dpr = 1;
    const int width = qRound(kLogicalWidth * dpr);
    const int height = qRound(kLogicalHeight * dpr);

    // Drawn in device pixels, so that every module edge falls on a pixel
    // edge and the code stays sharp for the phone's camera at any density.
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);

    QFont font = QGuiApplication::font();
    font.setPixelSize(qMax(1, qRound(kPromptPixelSize * dpr)));
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int promptHeight = metrics.height();

    const platform::QrMatrix symbol = symbolFor(storedPhoneEditionAddress);
    int module = 0;
    if (!symbol.isNull()) {
        const int span = symbol.width + 2 * kQuietModules;
        // The symbol, the quiet zone below it (which doubles as the gap to
        // the prompt) and the prompt stack up; the quiet zone above comes
        // out of the top margin.
        module = qMin(width / span, (height - promptHeight) / (symbol.width + 3 * kQuietModules));
        auto topMargin = [&](int m) { return (height - (symbol.width + kQuietModules) * m - promptHeight) / 2; };
        while (module > 0 && topMargin(module) < kQuietModules * module)
            --module;
    }

    QPainter painter(&image);
    int promptTop = (height - promptHeight) / 2;
    if (module > 0) {
        const int side = symbol.width * module;
        const int stack = side + kQuietModules * module + promptHeight;
        const int left = (width - side) / 2;
        const int top = (height - stack) / 2;
        for (int row = 0; row < symbol.width; ++row) {
            for (int column = 0; column < symbol.width; ++column) {
                if (symbol.dark(column, row))
                    painter.fillRect(left + column * module, top + row * module, module, module, Qt::black);
            }
        }
        promptTop = top + side + kQuietModules * module;
    }

    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    // A deeper shade of the side panel's teal: reads as part of the panel,
    // and is dark enough for small bold text.
    painter.setPen(QColor(0x00, 0x66, 0x80));
    painter.drawText(QRect(0, promptTop, width, promptHeight), Qt::AlignHCenter | Qt::AlignVCenter, prompt());
    painter.end();

    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}
