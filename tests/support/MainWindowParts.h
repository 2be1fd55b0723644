#pragma once

// The main window with every class its parts and subsystems are made of,
// for code that reaches into them.
#include "catalogue/Pager.h"
#include "download/DownloadEngine.h"
#include "download/RowCommands.h"
#include "info/WebLinks.h"
#include "platform/CaptionButton.h"
#include "platform/CaptionLabel.h"
#include "platform/HorizontalLine.h"
#include "platform/IntervalTimer.h"
#include "platform/MediaPlayer.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollBar.h"
#include "platform/TextBox.h"
#include "shell/MainWindow.h"
#include "views/ViewSwitcher.h"
