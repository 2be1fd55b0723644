#pragma once

#include <QScrollBar>

namespace platform {

// A vertical scroll bar with the window model's events: Change after every
// change of its value, from the user or from code (a Max below the value
// included), and Scroll for each position while the thumb is dragged.
// While the thumb is dragged, Value is the thumb's position.
class ScrollBarControl : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBarControl(QWidget* parent = nullptr);

    int Value() const { return sliderPosition(); }
    void setValue(int value) { QScrollBar::setValue(value); }
    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    void setMin(int min) { setMinimum(min); }
    void setMax(int max) { setMaximum(max); }

signals:
    void Change();
    void Scroll();
};

}  // namespace platform
