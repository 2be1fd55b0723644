// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/CurrentView.h"

void CurrentView::set(PageView view)
{
    if (view == value_)
        return;
    value_ = view;
    emit changed(view);
}
