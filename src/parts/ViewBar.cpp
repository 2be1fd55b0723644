// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/ViewBar.h"

#include "parts/Colours.h"
#include "platform/widgets/AnchorLayout.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/TextBox.h"
#include "platform/widgets/TextPlacement.h"

#include <QGroupBox>

using platform::OptionButton;

ViewBar ViewBar::build(QWidget* client)
{
    ViewBar bar;
    bar.frame = new QGroupBox(client);
    bar.frame->setGeometry(QRect(148, -1, 609, 48));

    bar.catalogueOption = new OptionButton(QStringLiteral("返回目录"), bar.frame);
    platform::placeText(bar.catalogueOption, QRect(8, 20, 80, 12));
    bar.catalogueOption->setChecked(true);
    bar.catalogueOption->setTextColour(colours::chosenView);
    bar.lecturesOption = new OptionButton(QStringLiteral("远程音频"), bar.frame);
    platform::placeText(bar.lecturesOption, QRect(88, 20, 80, 12));
    bar.lecturesOption->setEnabled(false);
    bar.lecturesOption->setTextColour(colours::text);
    bar.favouritesOption = new OptionButton(QStringLiteral("我的收藏"), bar.frame);
    platform::placeText(bar.favouritesOption, QRect(172, 20, 80, 12));
    bar.favouritesOption->setTextColour(colours::text);

    bar.searchLabel =
        platform::makeLabel(bar.frame, QStringLiteral("搜索"), QRect(364, 20, 24, 12), colours::text, true);
    // Open in every view: the whole library from the catalogue, the
    // conference's lectures, or the stored ones.
    bar.searchBox = new platform::TextBox(bar.frame);
    bar.searchBox->setGeometry(QRect(396, 16, 205, 22));
    bar.searchBox->setBackgroundColour(colours::paper);
    bar.searchBox->setAccessibleName(QStringLiteral("搜索讲座"));
    // The search keeps to the right, as the list's buttons below it do.
    auto* layout = new platform::AnchorLayout(bar.frame->size(), bar.frame);
    for (QWidget* option :
         std::initializer_list<QWidget*>{bar.catalogueOption, bar.lecturesOption, bar.favouritesOption})
        layout->anchor(option, Qt::LeftEdge | Qt::TopEdge);
    for (QWidget* search : std::initializer_list<QWidget*>{bar.searchLabel, bar.searchBox})
        layout->anchor(search, Qt::RightEdge | Qt::TopEdge);
    return bar;
}

OptionButton* ViewBar::option(PageView view) const
{
    switch (view) {
    case PageView::Lectures:
        return lecturesOption;
    case PageView::Favourites:
        return favouritesOption;
    case PageView::Catalogue:
    case PageView::Found:
        break;
    }
    return catalogueOption;
}
