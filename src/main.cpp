#include "catalogue/StoredAddresses.h"
#include "info/StartProcedure.h"
#include "platform/ChineseTranslations.h"
#include "platform/Fonts.h"
#include "platform/TerminationRequests.h"
#include "shell/Form1.h"
#include "shell/HostOperations.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kardelo"));
    platform::InstallChineseStandardTexts(application);
    platform::InstallFontSubstitutions();
    const std::unique_ptr<Form1> window = StartProcedure(BuiltInAddresses(), ProgramFolder());
    if (!window)
        return 0;
    // Logout, shutdown or Ctrl+C go through the window's own close, which
    // stops a running download and cleans up after it.
    platform::TerminationRequests termination;
    QObject::connect(&termination, &platform::TerminationRequests::requested, window.get(),
                     &QWidget::close);
    return application.exec();
}
