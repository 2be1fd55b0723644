// The search box narrows the favourites view to the names holding its text.
#include "shell/Form1.h"

#include "platform/VbColor.h"

void Form1::Text1_Change()
{
    // The caption takes the button-text colour here, not the plain black
    // the favourites switch gives it.
    SetSearchBox(true, platform::kVbButtonText);
    ColourOptions(Option2);
    V1->setValue(0);
    ResetRowButtons(QStringLiteral("播 放"), true);
    FillFavourites(Text1->Text());
}
