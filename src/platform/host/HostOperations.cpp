// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/host/HostOperations.h"

#include "platform/host/DesktopServices.h"
#include "platform/widgets/MessageBox.h"

#include <QCoreApplication>

#include <utility>

namespace platform {

namespace {

HostReplacements& activeReplacements()
{
    static HostReplacements replacements;
    return replacements;
}

}  // namespace

void openInBrowser(QWidget* /*owner*/, const QString& address)
{
    if (address.isEmpty())
        return;
    if (activeReplacements().openInBrowser) {
        activeReplacements().openInBrowser(address);
        return;
    }
    openAddressInBrowser(address);
}

void showMessage(const QString& title, const QString& prompt, QMessageBox::Icon icon,
                 QMessageBox::StandardButtons buttons, QWidget* owner, MessageAnswer answered)
{
    if (!answered)
        answered = [](QMessageBox::StandardButton) {};
    if (activeReplacements().answerMessage) {
        activeReplacements().answerMessage(prompt, icon, buttons, std::move(answered));
        return;
    }
    showMessageBox(buildMessageBox(title, prompt, icon, buttons, owner), std::move(answered));
}

QMessageBox* openMessage(const QString& title, const QString& prompt, QMessageBox::Icon icon, QWidget* owner)
{
    if (activeReplacements().answerMessage) {
        activeReplacements().answerMessage(prompt, icon, QMessageBox::Ok, [](QMessageBox::StandardButton) {});
        return nullptr;
    }
    QMessageBox* box = buildMessageBox(title, prompt, icon, QMessageBox::Ok, owner).release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

void endProgram()
{
    if (activeReplacements().endProgram) {
        activeReplacements().endProgram();
        return;
    }
    // Queued, so an ending asked for before the event loop runs still counts.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

QString programFolder()
{
    return executableFolder();
}

ScopedHostReplacements::ScopedHostReplacements(HostReplacements replacements)
    : previous_(std::exchange(activeReplacements(), std::move(replacements)))
{
}

ScopedHostReplacements::~ScopedHostReplacements()
{
    activeReplacements() = std::move(previous_);
}

}  // namespace platform
