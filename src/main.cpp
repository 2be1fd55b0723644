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
    const std::unique_ptr<MainWindow> window = runStartProcedure(builtInAddresses(), platform::programFolder());
    if (!window)
        return 0;
    // Logout, shutdown or Ctrl+C go through the window's own close, which
    // stops a running download and cleans up after it.
    platform::TerminationRequests termination;
    QObject::connect(&termination, &platform::TerminationRequests::requested, window.get(), &QWidget::close);
    return application.exec();
}
