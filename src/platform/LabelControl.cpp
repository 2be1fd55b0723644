#include "platform/LabelControl.h"

#include "platform/MouseButtons.h"
#include "platform/Twips.h"
#include "platform/VbColor.h"

#include <QMouseEvent>

namespace platform {

LabelControl::LabelControl(QWidget* parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void LabelControl::setCaption(const QString& caption)
{
    setText(caption);
    if (autoSize_)
        adjustSize();
}

void LabelControl::setForeColor(std::uint32_t vbColor)
{
    foreColor_ = vbColor;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ColorFromVb(vbColor));
    setPalette(colours);
}

void LabelControl::setAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    if (autoSize_)
        adjustSize();
}

void LabelControl::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position() * kTwipsPerPixel;
    emit MouseDown(VbButton(event->button()), VbShift(event->modifiers()), at.x(), at.y());
}

void LabelControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position() * kTwipsPerPixel;
    emit MouseUp(VbButton(event->button()), VbShift(event->modifiers()), at.x(), at.y());
}

}  // namespace platform
