#pragma once

#include "platform/widgets/MessageBoxDialog.h"

#include <QString>

#include <functional>

class QWidget;

namespace platform {

// The host operations several parts of the program share. Every message
// box carries the title "提示".

inline const QString kMessageTitle = QStringLiteral("提示");

// Opens the address in the user's browser; owner may be null. Returns at
// once and reports nothing.
void openInBrowser(QWidget* owner, const QString& address);

// Shows a modal message box in the given style (0, 48 or 52) and returns the
// answer (6 for Yes).
int showMessage(const QString& prompt, int style, QWidget* owner = nullptr);

// Ends the process at once: no further handler runs. Callers still return
// right after it, so that a replaced ending in a test leaves the program in
// the state the real one would have frozen.
void endProgram();

// The folder holding the program file, without a trailing separator.
QString programFolder();

// What a test process cannot do for real: answer a modal box, end itself,
// start a browser. Each replacement stays in force while its guard lives.
struct HostReplacements {
    std::function<int(const QString& prompt, int style)> answerMessage;
    std::function<void()> endProgram;
    std::function<void(const QString& address)> openInBrowser;
};

class ScopedHostReplacements {
public:
    explicit ScopedHostReplacements(HostReplacements replacements);
    ~ScopedHostReplacements();
    ScopedHostReplacements(const ScopedHostReplacements&) = delete;
    ScopedHostReplacements& operator=(const ScopedHostReplacements&) = delete;

private:
    HostReplacements previous_;
};

}  // namespace platform
