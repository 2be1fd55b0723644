// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QLineEdit>

namespace platform {

// A single-line text box whose changed() comes with every change of its text,
// typed or set by code.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

    // An invalid colour gives the desktop's text-field background.
    void setBackgroundColour(const QColor& colour);
    QColor backgroundColour() const { return backgroundColour_; }

signals:
    void changed();

private:
    QColor backgroundColour_;
};

}  // namespace platform
