#pragma once

class QWidget;

namespace platform {
class MediaPlayer;
class PictureBox;
}  // namespace platform

// The bar under the page that holds the embedded player.
struct PlayerBar {
    platform::PictureBox* frame = nullptr;
    platform::MediaPlayer* player = nullptr;

    static PlayerBar build(QWidget* client);
};
