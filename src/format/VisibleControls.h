// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

// A name from the server as the program shows it and stores it: every
// control character and every character that steers the direction of the
// text around it (the bidirectional embeddings, overrides and isolates,
// U+202A-U+202E and U+2066-U+2069, and the marks U+200E, U+200F and U+061C)
// written as a visible "<U+XXXX>". Such a character hidden in a title makes
// a row or a file manager show another name than the one there is: an
// override turns "gpj.exe" into what reads as "exe.jpg". Made visible, the
// lecture can still be seen and chosen, and looks as odd as it is.
QString withVisibleControls(QStringView text);

// Whether withVisibleControls writes the character as a marker.
bool isHiddenControl(char16_t c);
