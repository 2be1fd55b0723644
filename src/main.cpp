#include "catalogue/StoredAddresses.h"
#include "info/StartProcedure.h"
#include "platform/ChineseTranslations.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kardelo"));
    platform::InstallChineseStandardTexts(application);
    StartProcedure(BuiltInAddresses());
    return 0;
}
