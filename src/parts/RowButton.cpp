// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/RowButton.h"

#include "artwork/Artwork.h"
#include "platform/widgets/CaptionButton.h"
#include "platform/widgets/PressableAccessible.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

// Where the caption stands on the face: low, clear of the face's top rim.
constexpr QRect kCaptionBox{4, 4, 45, 17};

}  // namespace

RowButton::RowButton(QWidget* parent) : QAbstractButton(parent)
{
    platform::PressableAccessible<RowButton>::install();
    // A click leaves the focus where it is, so the mouse never brings up
    // the focus mark.
    setFocusPolicy(Qt::TabFocus);
    resize(artwork::kButtonFaceSize);
}

void RowButton::setDescribedBy(QLabel* label, QLabel* more)
{
    describedBy_ = label;
    describedAlsoBy_ = more;
}

QString RowButton::description() const
{
    if (!accessibleDescription().isEmpty() || !describedBy_)
        return accessibleDescription();
    QString text = describedBy_->text();
    if (describedAlsoBy_ && !describedAlsoBy_->text().isEmpty())
        text += QStringLiteral("，") + describedAlsoBy_->text();
    return text;
}

bool RowButton::showsFocusMark() const
{
    // Only for a keyboard user, as the desktop's own buttons do.
    return hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

QSize RowButton::sizeHint() const
{
    return artwork::kButtonFaceSize;
}

void RowButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const qreal ratio = devicePixelRatio();
    painter.drawPixmap(0, 0, isDown() ? artwork::pressedButtonFace(ratio) : artwork::releasedButtonFace(ratio));
    // The caption sits low on its face; a ring inside the face would cross
    // it, so the rim itself lights up, beneath the caption.
    if (showsFocusMark())
        platform::CaptionButton::paintFocusMark(painter, artwork::kButtonFaceRim, artwork::kButtonFaceRimRadius,
                                                palette());
    // Drawn as the row's labels draw their texts, in the window's text
    // colour rather than the desktop's button text, so a caption looks
    // like its neighbours under any theme.
    QStyleOption option;
    option.initFrom(this);
    const int direction = text().isRightToLeft() ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight;
    style()->drawItemText(&painter, kCaptionBox, Qt::AlignCenter | Qt::TextExpandTabs | direction, option.palette,
                          isEnabled(), text(), QPalette::WindowText);
}

bool RowButton::hitButton(const QPoint& position) const
{
    // The caption takes the press, not the rim around it; once held, the
    // button runs on the release wherever the mouse is let go.
    return isDown() || kCaptionBox.contains(position);
}

void RowButton::keyPressEvent(QKeyEvent* event)
{
    // Every other key goes on to the row and the window: the arrows are
    // the row's own, and Escape does not let go of a held button.
    if (!platform::isButtonActivationKey(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    // The user is on the keyboard: from here the focus mark shows.
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
    if (!event->isAutoRepeat() && downKey_ == 0) {
        downKey_ = event->key();
        setDown(true);
        emit pressed();
    }
    update();
    event->accept();
}

void RowButton::keyReleaseEvent(QKeyEvent* event)
{
    if (downKey_ == 0 || event->key() != downKey_) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat())
        return;
    downKey_ = 0;
    if (!isDown())
        return;
    // Up before the command runs: a download runs inside it, and a second
    // press during the download must find the button up.
    setDown(false);
    repaint();
    const QPointer<RowButton> guard(this);
    emit released();
    if (guard)
        emit clicked();
}

void RowButton::focusOutEvent(QFocusEvent* event)
{
    if (downKey_ != 0) {
        // Let go without a release: nothing runs.
        downKey_ = 0;
        setDown(false);
    } else if (isDown()) {
        // Held by the mouse, which still decides on its release.
        QWidget::focusOutEvent(event);
        return;
    }
    QAbstractButton::focusOutEvent(event);
}
