// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSlider>

namespace platform {

// A click on the groove of a stock slider only steps by a page; a position
// bar or a volume bar is expected to jump to the place clicked. The handle
// is brought under the pointer first, so the stock press that follows grabs
// it and the click and a drag both end in one release.
class JumpSlider : public QSlider {
public:
    using QSlider::QSlider;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace platform
