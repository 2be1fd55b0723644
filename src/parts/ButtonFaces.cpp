#include "parts/ButtonFaces.h"

#include "artwork/Artwork.h"
#include "platform/widgets/PictureBox.h"

#include <QApplication>

ButtonFaces ButtonFaces::build(QWidget* client)
{
    auto hiddenFace = [client](const QRect& box, const QPixmap& picture) {
        auto* face = new platform::PictureBox(client, false);
        face->setGeometry(box);
        face->setAutoSize(true);
        face->setPicture(picture);
        face->setVisible(false);
        return face;
    };
    const qreal ratio = qApp->devicePixelRatio();
    ButtonFaces faces;
    faces.pressed = hiddenFace(QRect(784, 44, 50, 21), artwork::pressedButtonFace(ratio));
    faces.released = hiddenFace(QRect(796, 72, 50, 21), artwork::releasedButtonFace(ratio));
    return faces;
}
