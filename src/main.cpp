#include "catalogue/StoredAddresses.h"
#include "info/StartProcedure.h"
#include "platform/ChineseTranslations.h"
#include "platform/Fonts.h"
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
    return application.exec();
}
