// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/RowButton.h"

#include "artwork/Artwork.h"
#include "platform/widgets/CaptionButton.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace {

// Where the caption stands on the face: low, clear of the face's top rim.
constexpr QRect kCaptionBox{4, 4, 45, 17};

bool isActivationKey(const QKeyEvent* event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Select:
        return true;
    default:
        return false;
    }
}

// The stock button interface takes its description from a fixed property
// and presses with a timed animation; a row button's description follows
// the page, and a press runs at once.
class RowButtonAccessible : public QAccessibleWidget {
public:
    explicit RowButtonAccessible(RowButton* button) : QAccessibleWidget(button, QAccessible::Button) { }

    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return button()->accessibleName().isEmpty() ? button()->text() : button()->accessibleName();
        case QAccessible::Description:
            return button()->description();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& action) override
    {
        // Queued: a download runs inside the press, and the screen reader
        // waits for this call to come back.
        if (action == pressAction())
            QMetaObject::invokeMethod(button(), &QAbstractButton::click, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    RowButton* button() const { return static_cast<RowButton*>(widget()); }
};

QAccessibleInterface* rowButtonAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(RowButton::staticMetaObject.className()))
        return new RowButtonAccessible(static_cast<RowButton*>(object));
    return nullptr;
}

}  // namespace

RowButton::RowButton(QWidget* parent) : QAbstractButton(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(rowButtonAccessible), true);
    Q_UNUSED(factoryInstalled);
    // A click leaves the focus where it is, so the mouse never brings up
    // the focus mark.
    setFocusPolicy(Qt::TabFocus);
    resize(artwork::kButtonFaceSize);
}

void RowButton::setDescribedBy(QLabel* label)
{
    describedBy_ = label;
}

QString RowButton::description() const
{
    if (!accessibleDescription().isEmpty() || !describedBy_)
        return accessibleDescription();
    return describedBy_->text();
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
    if (!isActivationKey(event)) {
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
