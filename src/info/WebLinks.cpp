// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/WebLinks.h"

#include "format/DecodeAddress.h"
#include "info/AboutWindow.h"
#include "platform/host/HostOperations.h"

#include <QWidget>

namespace {

// The built-in lists always decode. Should one not, the command does
// nothing, as a browser that never starts does nothing; an exception must
// not unwind through Qt's event dispatch.
void openStoredAddress(QWidget* owner, const QString& stored)
{
    platform::openInBrowser(owner, builtInAddress(stored));
}

}  // namespace

WebLinks::WebLinks(const StoredAddresses& addresses, QWidget* window)
    : QObject(window),
      addresses_(addresses),
      window_(window)
{
}

AboutWindow* WebLinks::aboutWindow() const
{
    return aboutWindow_;
}

void WebLinks::showAbout()
{
    // A window closed a moment ago is hidden but may not be deleted yet;
    // it counts as gone.
    if (!aboutWindow_ || aboutWindow_->isHidden()) {
        aboutWindow_ = new AboutWindow(addresses_.homePage);
        // It has no owner, but should the main window go without ending
        // the process it takes the About window along.
        connect(window_, &QObject::destroyed, aboutWindow_.data(), [about = aboutWindow_.data()] { delete about; });
    }
    aboutWindow_->show();
    aboutWindow_->raise();
    aboutWindow_->activateWindow();
}

void WebLinks::openHelpPage()
{
    openStoredAddress(window_, addresses_.helpPage);
}

void WebLinks::openHomePage()
{
    openStoredAddress(nullptr, addresses_.homePage);
}

void WebLinks::openPhoneEditionPage()
{
    openStoredAddress(window_, addresses_.phoneEdition);
}
