// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "catalogue/StoredAddresses.h"

#include <QObject>
#include <QPointer>

class AboutWindow;
class QWidget;

// The commands of the menus and of the phone-edition button: web pages
// opened in the browser and the About window.
class WebLinks : public QObject {
    Q_OBJECT

public:
    // window: the main window, owner of the help page's browser request
    // and of this object.
    WebLinks(const StoredAddresses& addresses, QWidget* window);

    // Shows the one About window, making it when none is open.
    void showAbout();
    void openHelpPage();
    void openHomePage();
    void openPhoneEditionPage();

    // The About window while it is open.
    AboutWindow* aboutWindow() const;

private:
    StoredAddresses addresses_;
    QWidget* window_;
    QPointer<AboutWindow> aboutWindow_;
};
