// The three views and the switches between them; the favourites listing.
#include "shell/Form1.h"

#include "platform/VbColor.h"
#include "views/SearchFilter.h"

using namespace platform;

void Form1::SetSearchBox(bool open, std::uint32_t captionColour)
{
    Text1->setEnabled(open);
    Label4->setForeColor(captionColour);
    Text1->setBackColor(open ? kVbWhite : kVbLightGrey);
}

void Form1::ColourOptions(OptionButtonControl* selected)
{
    selected->setForeColor(kVbRed);
    for (OptionButtonControl* option : {Option3, Option2, Option1}) {
        if (option != selected)
            option->setForeColor(kVbBlack);
    }
}

void Form1::ResetRowButtons(const QString& caption, bool deleteShown)
{
    for (int i = 0; i < kRows; ++i) {
        Label10[i]->setCaption(caption);
        Label1[i]->setCaption(QString());
        Picture9[i]->setVisible(deleteShown);
    }
}

void Form1::Option3_Click()
{
    SetSearchBox(false, kVbGrey);
    ColourOptions(Option3);
    ResetRowButtons(QStringLiteral("进 入"), false);
    ShowCataloguePage();
}

void Form1::Option1_Click()
{
    SetSearchBox(false, kVbGrey);
    ColourOptions(Option1);
    ResetRowButtons(QStringLiteral("下 载"), false);
    ShowLecturePage();
}

void Form1::Option2_Click()
{
    SetSearchBox(true, kVbBlack);
    ColourOptions(Option2);
    V1->setValue(0);
    ResetRowButtons(QStringLiteral("播 放"), true);
    FillFavourites();
}

void Form1::FillFavourites(const std::optional<QString>& filter)
{
    File1.Refresh();
    List3.Clear();
    for (int k = 0; k < File1.ListCount(); ++k) {
        const QString name = File1.List(k);
        if (!filter || PassesSearch(name, *filter))
            List3.AddItem(name);
    }

    const int names = List3.ListCount();
    if (names <= kRows) {
        V1->setEnabled(false);
    } else {
        V1->setEnabled(true);
        V1->setMin(0);
        V1->setMax(names - kRows);
        V1->setValue(0);
    }

    for (int i = 0; i < kRows; ++i) {
        Picture4[i]->setVisible(false);
        Label2[i]->setCaption(QString());
        Label3[i]->setCaption(QString());
    }
    for (int i = 0; i < names && i < kRows; ++i)
        ShowFavouriteRow(i, List3.List(i + V1->Value()));
}

void Form1::ShowFavouriteRow(int i, const QString& name)
{
    SetRowCaptions(i, FavouriteRowCaptions(name));
    Picture4[i]->setVisible(true);
}

void Form1::Timer2_Timer()
{
    Timer2->setEnabled(false);
    Option2->setValue(true);
    Option2_Click();
}
