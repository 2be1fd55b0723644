// SPDX-License-Identifier: GPL-3.0-or-later

#include "KardeloVersion.h"
#include "catalogue/StoredAddresses.h"
#include "platform/host/ChineseTranslations.h"
#include "platform/host/HostOperations.h"
#include "platform/host/StartUpWarmUp.h"
#include "platform/host/TerminationRequests.h"
#include "platform/widgets/Fonts.h"
#include "shell/MainWindow.h"
#include "shell/StartProcedure.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    platform::StartUpWarmUp warmUp;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kardelo"));
    // Requests name the release, the form the server's version file uses.
    QApplication::setApplicationVersion(kReleaseStamp);
    // Ties the window to its menu entry and icon in a desktop's task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kardelo.Kardelo"));
    platform::installChineseStandardTexts(application);
    platform::installFontSubstitutions();
    warmUp.wait();
    // The window's close only begins the end: the program ends once it has
    // kept the listening place and the running downloads' bytes, which the
    // download threads do while the event loop runs.
    QApplication::setQuitOnLastWindowClosed(false);
    // Logout, shutdown or Ctrl+C go through the window's own close; before
    // the window is up there is nothing to keep.
    StartProcedure start(builtInAddresses(), platform::programFolder());
    platform::TerminationRequests termination;
    QObject::connect(&termination, &platform::TerminationRequests::requested, &start, [&start] {
        if (MainWindow* window = start.window())
            window->close();
        else
            platform::endProgram();
    });
    start.start();
    return application.exec();
}
