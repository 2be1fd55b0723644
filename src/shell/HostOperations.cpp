#include "shell/HostOperations.h"

#include "platform/DesktopServices.h"
#include "platform/Twips.h"

#include <utility>

namespace {

HostReplacements& Replacements()
{
    static HostReplacements replacements;
    return replacements;
}

}  // namespace

void OpenInBrowser(QWidget* /*owner*/, const QString& address)
{
    if (Replacements().openInBrowser) {
        Replacements().openInBrowser(address);
        return;
    }
    platform::OpenAddressInBrowser(address);
}

int ShowMessage(const QString& prompt, int style, QWidget* owner)
{
    if (Replacements().answerMessage)
        return Replacements().answerMessage(prompt, style);
    auto box = platform::BuildMessageBox(prompt, style, kMessageTitle, owner);
    return platform::RunMessageBox(*box);
}

void EndProgram()
{
    if (Replacements().endProgram) {
        Replacements().endProgram();
        return;
    }
    platform::EndProcessNow();
}

QString ProgramFolder()
{
    return platform::ExecutableFolder();
}

QSize ScreenSizeInTwips()
{
    return platform::PrimaryScreenPixels() * platform::kTwipsPerPixel;
}

ScopedHostReplacements::ScopedHostReplacements(HostReplacements replacements)
    : previous_(std::exchange(Replacements(), std::move(replacements)))
{
}

ScopedHostReplacements::~ScopedHostReplacements()
{
    Replacements() = std::move(previous_);
}
