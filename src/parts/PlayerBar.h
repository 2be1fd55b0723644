// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class Playback;
class QAction;
class QWidget;
class TransportBar;

namespace platform {
class PictureBox;
}  // namespace platform

// The bar under the page that holds the transport bar of the playback.
struct PlayerBar {
    platform::PictureBox* frame = nullptr;
    TransportBar* transportBar = nullptr;
    // "连续播放" in the bar's menu: whether a lecture's end goes on to the next.
    QAction* continuousPlay = nullptr;

    static PlayerBar build(QWidget* client, Playback& playback);
};
