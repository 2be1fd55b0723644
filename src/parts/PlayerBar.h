// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class Playback;
class QAction;
class QWidget;
class SleepTimer;
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
    // Set from the bar; it lives as long as the playback it stops. Whoever
    // goes on to the next lecture when one ends asks it first.
    SleepTimer* sleepTimer = nullptr;

    static PlayerBar build(QWidget* client, Playback& playback);
};
