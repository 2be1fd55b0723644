// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QPixmap;
class QPushButton;
class QWidget;

namespace platform {
class CaptionLabel;
class PictureBox;
}  // namespace platform

// The panel down the left: the product picture with its four texts, the
// phone edition's QR code and the button that opens its page.
struct SidePanel {
    platform::PictureBox* picture = nullptr;
    platform::CaptionLabel* productName = nullptr;
    platform::CaptionLabel* subjectLabel = nullptr;
    platform::CaptionLabel* phoneEditionNotice = nullptr;
    platform::CaptionLabel* versionLabel = nullptr;
    platform::PictureBox* phoneEditionQrCode = nullptr;
    QPushButton* phoneEditionButton = nullptr;

    static SidePanel build(QWidget* client, const QPixmap& phoneEditionAdvert);
};
