// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QRadioButton>

namespace platform {

// An option of a group with a text colour of its own. Its chosen() comes
// whenever the user chooses it, also when it was chosen already.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr);

    // An invalid colour gives the desktop's button text.
    void setTextColour(const QColor& colour);
    QColor textColour() const { return textColour_; }

signals:
    void chosen();

private:
    QColor textColour_;
};

}  // namespace platform
