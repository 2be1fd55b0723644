// SPDX-License-Identifier: GPL-3.0-or-later

#include "catalogue/RowCaptions.h"

#include "format/RecordFields.h"

#include <QtTest>

using MaybeText = std::optional<QString>;
Q_DECLARE_METATYPE(MaybeText)

const MaybeText kUnchanged = std::nullopt;  // the label keeps its old text

class RowCaptionsTest : public QObject {
    Q_OBJECT

private slots:
    void substringRule_data();
    void substringRule();
    void rowCaptions_data();
    void rowCaptions();
    void lectureFields_data();
    void lectureFields();
    void lectureListFileName_data();
    void lectureListFileName();
};

void RowCaptionsTest::substringRule_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<MaybeText>("expected");
    QTest::newRow("middle") << "abcdef" << 2 << 3 << MaybeText("bcd");
    QTest::newRow("length past the end") << "abcdef" << 5 << 10 << MaybeText("ef");
    QTest::newRow("start past the end") << "abc" << 9 << 2 << MaybeText("");
    QTest::newRow("zero length") << "abc" << 1 << 0 << MaybeText("");
    QTest::newRow("negative length") << "abc" << 1 << -1 << kUnchanged;
    QTest::newRow("start below 1") << "abc" << 0 << 2 << kUnchanged;
}

void RowCaptionsTest::substringRule()
{
    QFETCH(QString, line);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(MaybeText, expected);
    QCOMPARE(substring(line, start, length), expected);
}

void RowCaptionsTest::rowCaptions_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<MaybeText>("first");
    QTest::addColumn<MaybeText>("second");
    QTest::newRow("conference: rest with markers of its own")
        << "Conference"
        << "会议%20131015*x%y*z" << MaybeText("会议") << MaybeText("更新日期：20131015");
    QTest::newRow("conference: line begins with percent") << "Conference"
                                                          << "%2013*" << MaybeText("") << MaybeText("更新日期：2013");
    QTest::newRow("conference: star before percent") << "Conference"
                                                     << "A*B%C" << MaybeText("A*B") << kUnchanged;
    QTest::newRow("conference: blanks belong to the fields")
        << "Conference"
        << " 会议 % 2013 *" << MaybeText(" 会议 ") << MaybeText("更新日期： 2013 ");
    QTest::newRow("lecture: Chinese fields") << "Lecture" << QStringLiteral("冠心病%张医生$45分钟*http://h/a.wma")
                                             << MaybeText("冠心病 - 45分钟") << MaybeText("张医生");
    QTest::newRow("lecture: no dollar: note is everything before the star")
        << "Lecture"
        << "T%D*http://h/a" << MaybeText("T - T%D") << kUnchanged;
    QTest::newRow("lecture: dollar before percent") << "Lecture"
                                                    << "T$N%D*A" << MaybeText("T$N - N%D") << kUnchanged;
    QTest::newRow("lecture: no percent: detail runs from the start") << "Lecture"
                                                                     << "T$N*A" << kUnchanged << MaybeText("T");
    QTest::newRow("favourite: dot inside the note") << "Favourite"
                                                    << "a%b$t.1.zip" << MaybeText("a - t") << MaybeText("b");
    QTest::newRow("favourite: dot inside the title") << "Favourite"
                                                     << "a.x%b$t.zip" << kUnchanged << MaybeText("b");
    QTest::newRow("favourite: no markers") << "Favourite"
                                           << "x.zip" << kUnchanged << kUnchanged;
}

void RowCaptionsTest::rowCaptions()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(MaybeText, first);
    QFETCH(MaybeText, second);
    const RowCaptions captions = kind == "Conference" ? conferenceRowCaptions(text)
        : kind == "Lecture"                           ? lectureRowCaptions(text)
                                                      : favouriteRowCaptions(text);
    QCOMPARE(captions.first, first);
    QCOMPARE(captions.second, second);
}

void RowCaptionsTest::lectureFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<MaybeText>("savedName");
    QTest::addColumn<MaybeText>("downloadAddress");
    QTest::newRow("second star inside the address")
        << "T%D$N*http://h/a*b.wma" << MaybeText("T%D$N") << MaybeText("http://h/a*b.wma");
    QTest::newRow("blanks kept") << " T%D$N * http://h/a " << MaybeText(" T%D$N ") << MaybeText(" http://h/a ");
    QTest::newRow("star at the end") << "T%D$N*" << MaybeText("T%D$N") << MaybeText("");
}

void RowCaptionsTest::lectureFields()
{
    QFETCH(QString, line);
    QFETCH(MaybeText, savedName);
    QFETCH(MaybeText, downloadAddress);
    QCOMPARE(lectureSavedName(line), savedName);
    QCOMPARE(lectureDownloadAddress(line), downloadAddress);
}

void RowCaptionsTest::lectureListFileName_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("eight characters") << "Conf%20131015*"
                                      << "20131015.zip";
    QTest::newRow("four characters") << "Conf%2013*" << QStringLiteral("新日期：2013.zip");
    QTest::newRow("longer date") << "Conf%2013-10-15*"
                                 << "13-10-15.zip";
    QTest::newRow("empty date") << "Conf%*" << QStringLiteral("更新日期：.zip");
}

void RowCaptionsTest::lectureListFileName()
{
    QFETCH(QString, line);
    QFETCH(QString, fileName);
    const MaybeText dateCaption = conferenceRowCaptions(line).second;
    QVERIFY(dateCaption);
    QCOMPARE(::lectureListFileName(*dateCaption), fileName);
}

QTEST_GUILESS_MAIN(RowCaptionsTest)
#include "RowCaptionsTest.moc"
