// A list shown as a page of eight rows beside the scroll bar V1, whose
// value is the index of the entry in row 0.
#include "shell/Form1.h"

#include "catalogue/RowCaptions.h"

namespace {

void SetUpScrollBar(platform::ScrollBarControl& scrollBar, int entries)
{
    if (entries > Form1::kRows) {
        scrollBar.setEnabled(true);
        scrollBar.setMin(0);
        scrollBar.setMax(entries - Form1::kRows);
        scrollBar.setValue(0);
    } else {
        scrollBar.setEnabled(false);
        scrollBar.setValue(0);
    }
}

}  // namespace

void Form1::ShowCataloguePage()
{
    const int entries = List1.ListCount();
    SetUpScrollBar(*V1, entries);
    for (int i = 0; i < kRows; ++i) {
        Picture4[i]->setVisible(false);
        Label10[i]->setCaption(QStringLiteral("进 入"));
    }
    for (int i = 0; i < std::min(kRows, entries); ++i) {
        SetRowCaptions(i, ConferenceRowCaptions(List1.List(V1->Value() + i)));
        Picture4[i]->setVisible(true);
    }
}

void Form1::ShowLecturePage()
{
    const int entries = List2.ListCount();
    SetUpScrollBar(*V1, entries);
    for (int i = 0; i < kRows; ++i)
        Picture4[i]->setVisible(false);
    for (int i = 0; i < std::min(kRows, entries); ++i) {
        SetRowCaptions(i, LectureRowCaptions(List2.List(V1->Value() + i)));
        Picture4[i]->setVisible(true);
    }
}

void Form1::V1_Change()
{
    // Captions only: which rows are shown was settled by the fresh page.
    const int offset = V1->Value();
    for (int i = 0; i < kRows; ++i) {
        if (Option1->Value())
            SetRowCaptions(i, LectureRowCaptions(List2.List(offset + i)));
        else if (Option2->Value())
            SetRowCaptions(i, FavouriteRowCaptions(List3.List(offset + i)));
        else
            SetRowCaptions(i, ConferenceRowCaptions(List1.List(offset + i)));
    }
}

void Form1::V1_Scroll()
{
    V1_Change();
}
