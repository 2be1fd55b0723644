#pragma once

class QWidget;

namespace platform {
class PictureBox;
}

// The pressed and released faces of the row buttons, kept in two hidden
// picture boxes: a pressed button takes its face from the one, a released
// button from the other.
struct ButtonFaces {
    platform::PictureBox* pressed = nullptr;
    platform::PictureBox* released = nullptr;

    static ButtonFaces build(QWidget* client);
};
