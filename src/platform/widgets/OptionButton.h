#pragma once


#include <QRadioButton>

#include <QColor>

namespace platform {

// An option of a group. Its chosen() comes when the user chooses it and also
// when code selects it while it was not selected, so code that switches
// the view by selecting an option runs the same handler the user would.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr);

    // Selects or clears it; selecting raises chosen() as a click would.
    void setSelected(bool selected);
    // An invalid colour gives the desktop's button text.
    void setTextColour(const QColor& colour);
    QColor textColour() const { return textColour_; }

signals:
    void chosen();

private:
    QColor textColour_;
};

}  // namespace platform
