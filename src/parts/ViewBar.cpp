#include "parts/ViewBar.h"

#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/ColourCode.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/TextBox.h"
#include "platform/widgets/TextPlacement.h"
#include "platform/widgets/Twips.h"

#include <QGroupBox>

using platform::OptionButton;
using platform::rectFromTwips;

ViewBar ViewBar::build(QWidget* client)
{
    ViewBar bar;
    bar.frame = new QGroupBox(client);
    bar.frame->setGeometry(rectFromTwips(2220, -20, 9135, 720));

    bar.catalogueOption = new OptionButton(QStringLiteral("返回目录"), bar.frame);
    platform::placeText(bar.catalogueOption, rectFromTwips(120, 300, 1200, 180));
    bar.catalogueOption->setChecked(true);
    bar.catalogueOption->setTextColour(platform::kColourRed);
    bar.lecturesOption = new OptionButton(QStringLiteral("远程音频"), bar.frame);
    platform::placeText(bar.lecturesOption, rectFromTwips(1320, 300, 1200, 180));
    bar.lecturesOption->setEnabled(false);
    bar.lecturesOption->setTextColour(platform::kColourBlack);
    bar.favouritesOption = new OptionButton(QStringLiteral("我的收藏"), bar.frame);
    platform::placeText(bar.favouritesOption, rectFromTwips(2580, 300, 1200, 180));
    bar.favouritesOption->setTextColour(platform::kColourBlack);

    bar.searchLabel = platform::makeLabel(bar.frame, QStringLiteral("搜索"), rectFromTwips(5460, 300, 360, 180),
                                          platform::kColourGrey, true);
    bar.searchBox = new platform::TextBox(bar.frame);
    bar.searchBox->setGeometry(rectFromTwips(5940, 240, 3075, 330));
    bar.searchBox->setEnabled(false);
    bar.searchBox->setBackgroundColour(platform::kColourLightGrey);
    bar.searchBox->setAccessibleName(QStringLiteral("搜索收藏"));
    return bar;
}
