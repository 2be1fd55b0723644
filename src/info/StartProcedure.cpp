#include "info/StartProcedure.h"

#include "info/ModuleTexts.h"
#include "info/VersionCheck.h"
#include "shell/Form1.h"

std::unique_ptr<Form1> StartProcedure(const StoredAddresses& addresses, const QString& programFolder)
{
    if (RunVersionCheck(addresses) == StartOutcome::Ended)
        return nullptr;
    auto window = std::make_unique<Form1>(addresses, programFolder);
    if (!window->Form_Load())
        return nullptr;
    window->setCaption(window->Caption() + u' ' + kVersionStamp);
    window->show();
    return window;
}
