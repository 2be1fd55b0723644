// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

// Writes text as GB2312, refusing every character the client would not read
// back as itself: one outside GB2312's own table (the client's reader takes
// code page 936, whose extra characters other readers of the library may
// lack), or one whose code reads back as another character.
class Gb2312Encoder {
public:
    Gb2312Encoder();

    struct Encoded {
        QByteArray bytes;  // empty when a character does not fit
        QString unfit;  // each character without a GB2312 code, once, in order
    };
    Encoded encode(QStringView text);

private:
    bool fits(char32_t character);

    QStringEncoder encoder_;
    QHash<char32_t, bool> fits_;
};
