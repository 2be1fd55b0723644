#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

class QWidget;

namespace platform {

// The style values the program passes to its message boxes, and the one
// answer any caller looks at.
inline constexpr int kStyleOk = 0;
inline constexpr int kStyleYesNo = 4;
inline constexpr int kStyleExclamation = 48;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// A modal box with the prompt, the icon and buttons the style asks for and
// the title. Built apart from being run so its look can be checked.
std::unique_ptr<QMessageBox> buildMessageBox(const QString& prompt, int style, const QString& title,
                                             QWidget* owner = nullptr);

// Runs the box until the user closes it; the answer is in the style's
// numbering (OK 1, Yes 6, No 7).
int runMessageBox(QMessageBox& box);

}  // namespace platform
