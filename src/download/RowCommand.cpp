// The row action button: enter a conference from the catalogue, download or
// cancel a lecture, play a stored one. A download blocks inside its press
// while the window goes on serving events, so a cancel, a view switch or
// another press runs nested inside it.
#include "shell/Form1.h"

#include "catalogue/CatalogueLines.h"
#include "catalogue/DecodeAddress.h"
#include "catalogue/FetchText.h"
#include "catalogue/RecordFields.h"
#include "download/CFileDownload.h"
#include "download/PlayRename.h"
#include "info/ModuleTexts.h"
#include "platform/MouseButtons.h"
#include "shell/HostOperations.h"
#include "views/FavouriteFileName.h"

#include <cmath>

namespace {

const QString kDownloadCaption = QStringLiteral("下 载");
const QString kCancelCaption = QStringLiteral("取 消");
const QString kDownloadFailedMessage = QStringLiteral("下载失败!");

}  // namespace

void Form1::Label10_MouseDown(int index, int button, int, double, double)
{
    if (button != platform::kLeftButton)
        return;
    Picture6[index]->setPicture(Picture7->Picture());
}

void Form1::Label10_MouseUp(int index, int button, int, double, double)
{
    if (button != platform::kLeftButton)
        return;
    Picture6[index]->setPicture(Picture8->Picture());
    if (Option3->Value())
        EnterConference(index);
    else if (Option1->Value())
        DownloadOrCancel(index);
    else
        PlayFavourite(index);
}

void Form1::EnterConference(int i)
{
    QString text;
    try {
        const QString address = DecodedCopy(addresses_.conferenceListBase) + LectureListFileName(Label3[i]->Caption());
        text = FetchText(address, kServerCharset);
    } catch (const AddressDecodeError&) {
    }
    List2.Clear();
    SplitAndKeep(text, [this](const QString& line) { List2.AddItem(line); });
    if (List2.ListCount() == 0) {
        ShowMessage(kNetworkFailureMessage, platform::kStyleExclamation | platform::kStyleOk, this);
        EndProgram();
        return;
    }
    for (int row = 0; row < kRows; ++row) {
        Label10[row]->setCaption(kDownloadCaption);
        Label1[row]->setCaption(QString());
    }
    ShowLecturePage();
    ColourOptions(Option1);
    Option1->setValue(true);
    Option1->setEnabled(true);
}

void Form1::DownloadOrCancel(int i)
{
    if (Label10[i]->Caption() != kDownloadCaption) {
        Label10[i]->setCaption(kDownloadCaption);
        Label1[i]->setCaption(QString());
        if (oDownload)
            oDownload->AbortDownloading();
        return;
    }

    Label10[i]->setCaption(kCancelCaption);
    iDownloadRow = i;
    const QString line = List2.List(iDownloadRow + V1->Value());
    const std::optional<QString> savedName = LectureSavedName(line);
    const std::optional<QString> source = LectureDownloadAddress(line);
    const std::optional<QString> fileName = savedName ? FavouriteFileName(*savedName) : std::nullopt;

    bool ok = false;
    if (fileName && source && oDownload)
        ok = oDownload->StartDownloading(*source, FavouritesFolder() + u'/' + *fileName);
    if (ok) {
        Timer2->setEnabled(true);
        return;
    }
    Label10[i]->setCaption(kDownloadCaption);
    ShowMessage(kDownloadFailedMessage, platform::kStyleOk, this);
}

void Form1::oDownload_OnProgress(qint64 lProgress, qint64 lMaxProgress, qint32, qint32, const QString&)
{
    // An unknown total gives no percentage; the label keeps what it shows.
    if (lMaxProgress <= 0)
        return;
    const double percent = static_cast<double>(lProgress) / static_cast<double>(lMaxProgress) * 100.0;
    Label1[iDownloadRow]->setCaption(QString::number(std::floor(percent + 0.5), 'f', 0) + u'%');
}

void Form1::PlayFavourite(int i)
{
    const QString storedName = List3.List(i + V1->Value());
    if (storedName.isEmpty())
        return;
    PlayRename rename(File1.Path());
    const QString playPath = rename.ToPlayName(storedName);
    M1->setURL(playPath);
    M1->play();
    // The player holds the file open by now, so the rename back cannot take
    // the lecture away from it; a second try covers a rename that lost a
    // race with something else touching the folder.
    if (!rename.Back())
        rename.Back();
}
