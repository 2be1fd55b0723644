#include "parts/ButtonFaces.h"

#include "artwork/Artwork.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/Twips.h"

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
    faces.pressed = hiddenFace(platform::rectFromTwips(11760, 660, 750, 315), artwork::pressedButtonFace(ratio));
    faces.released = hiddenFace(platform::rectFromTwips(11940, 1080, 750, 315), artwork::releasedButtonFace(ratio));
    return faces;
}
