// Coming up and going away: the load step and the unload step.
#include "shell/Form1.h"

#include "catalogue/CatalogueLines.h"
#include "catalogue/DecodeAddress.h"
#include "catalogue/FetchText.h"
#include "download/CFileDownload.h"
#include "download/PlayRename.h"
#include "info/ModuleTexts.h"
#include "shell/CentreWindowOnScreen.h"
#include "shell/HostOperations.h"

#include <QCloseEvent>
#include <QDir>

bool Form1::Form_Load()
{
    // An existing folder is the normal case on every start but the first.
    QDir().mkdir(FavouritesFolder());
    // A lecture left under its play name by a run that died mid-play gets
    // its stored name back before the folder is listed.
    PlayRename::RecoverPending(FavouritesFolder());
    File1.setPath(FavouritesFolder() + u'/');

    oDownload = new CFileDownload(this);
    connect(oDownload, &CFileDownload::OnProgress, this, &Form1::oDownload_OnProgress);

    for (platform::LabelControl* percentage : Label1)
        percentage->setCaption(QString());

    CentreWindowOnScreen(*this);

    QString catalogue;
    try {
        catalogue = FetchText(DecodedCopy(addresses_.catalogue), kServerCharset);
    } catch (const AddressDecodeError&) {
    }
    SplitAndKeep(catalogue, [this](const QString& line) { List1.AddItem(line); });

    if (List1.ListCount() == 0) {
        ShowMessage(kNetworkFailureMessage, platform::kStyleExclamation | platform::kStyleOk);
        EndProgram();
        return false;
    }
    ShowCataloguePage();
    return true;
}

void Form1::Form_Unload()
{
    if (oDownload)
        oDownload->AbortDownloading();
    // A download still on the stack finishes unwinding before the engine
    // goes; the process ends right here in a real run anyway.
    if (oDownload)
        oDownload->deleteLater();
    oDownload = nullptr;
    EndProgram();
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}
