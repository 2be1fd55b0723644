// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The main window with every class its parts and subsystems are made of,
// for code that reaches into them.
#include "download/DownloadCommands.h"
#include "download/DownloadQueue.h"
#include "info/WebLinks.h"
#include "parts/RowButton.h"
#include "parts/TransportBar.h"
#include "platform/host/IntervalTimer.h"
#include "platform/widgets/CaptionLabel.h"
#include "platform/widgets/HorizontalLine.h"
#include "platform/widgets/OptionButton.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/ScrollBar.h"
#include "platform/widgets/TextBox.h"
#include "playback/Playback.h"
#include "shell/MainWindow.h"
#include "views/PageModel.h"
#include "views/Pager.h"
#include "views/ViewSwitcher.h"
