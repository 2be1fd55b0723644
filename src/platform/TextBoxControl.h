#pragma once

#include <QLineEdit>

#include <cstdint>

namespace platform {

// A single-line text box whose Change comes with every change of its text,
// typed or set by code.
class TextBoxControl : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBoxControl(QWidget* parent = nullptr);

    QString Text() const { return text(); }
    void setBackColor(std::uint32_t vbColor);
    std::uint32_t BackColor() const { return backColor_; }

signals:
    void Change();

private:
    std::uint32_t backColor_ = 0x80000005;
};

}  // namespace platform
