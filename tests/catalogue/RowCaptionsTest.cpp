#include "catalogue/RecordFields.h"
#include "catalogue/RowCaptions.h"

#include <QtTest>

using MaybeText = std::optional<QString>;
Q_DECLARE_METATYPE(MaybeText)

namespace {

const MaybeText kUnchanged = std::nullopt;

}  // namespace

class RowCaptionsTest : public QObject {
    Q_OBJECT

private slots:
    void substringRule_data();
    void substringRule();
    void conferenceRows_data();
    void conferenceRows();
    void lectureRows_data();
    void lectureRows();
    void lectureFields_data();
    void lectureFields();
    void favouriteRows_data();
    void favouriteRows();
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
    QCOMPARE(Substring(line, start, length), expected);
}

void RowCaptionsTest::conferenceRows_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<MaybeText>("first");
    QTest::addColumn<MaybeText>("second");
    QTest::newRow("eight-character date, empty rest")
        << "Conf%20131015*" << MaybeText("Conf") << MaybeText("更新日期：20131015");
    QTest::newRow("rest with markers of its own")
        << "会议%20131015*x%y*z" << MaybeText("会议") << MaybeText("更新日期：20131015");
    QTest::newRow("line begins with percent") << "%2013*" << MaybeText("") << MaybeText("更新日期：2013");
    QTest::newRow("star before percent")
        << "A*B%C" << MaybeText("A*B") << kUnchanged;
    QTest::newRow("blanks belong to the fields")
        << " 会议 % 2013 *" << MaybeText(" 会议 ") << MaybeText("更新日期： 2013 ");
}

void RowCaptionsTest::conferenceRows()
{
    QFETCH(QString, line);
    QFETCH(MaybeText, first);
    QFETCH(MaybeText, second);
    const RowCaptions captions = ConferenceRowCaptions(line);
    QCOMPARE(captions.first, first);
    QCOMPARE(captions.second, second);
}

void RowCaptionsTest::lectureRows_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<MaybeText>("first");
    QTest::addColumn<MaybeText>("second");
    QTest::newRow("all fields") << "T%D$N*A" << MaybeText("T - N") << MaybeText("D");
    QTest::newRow("Chinese fields") << QStringLiteral("冠心病%张医生$45分钟*http://h/a.wma")
                                    << MaybeText("冠心病 - 45分钟") << MaybeText("张医生");
    QTest::newRow("no dollar: note is everything before the star")
        << "T%D*http://h/a" << MaybeText("T - T%D") << kUnchanged;
    QTest::newRow("dollar before percent")
        << "T$N%D*A" << MaybeText("T$N - N%D") << kUnchanged;
    QTest::newRow("no percent: detail runs from the start") << "T$N*A" << kUnchanged << MaybeText("T");
}

void RowCaptionsTest::lectureRows()
{
    QFETCH(QString, line);
    QFETCH(MaybeText, first);
    QFETCH(MaybeText, second);
    const RowCaptions captions = LectureRowCaptions(line);
    QCOMPARE(captions.first, first);
    QCOMPARE(captions.second, second);
}

void RowCaptionsTest::lectureFields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<MaybeText>("savedName");
    QTest::addColumn<MaybeText>("downloadAddress");
    QTest::newRow("plain") << "T%D$N*A" << MaybeText("T%D$N") << MaybeText("A");
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
    QCOMPARE(LectureSavedName(line), savedName);
    QCOMPARE(LectureDownloadAddress(line), downloadAddress);
}

void RowCaptionsTest::favouriteRows_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<MaybeText>("first");
    QTest::addColumn<MaybeText>("second");
    QTest::newRow("stored lecture") << "a%b$t.zip" << MaybeText("a - t") << MaybeText("b");
    QTest::newRow("dot inside the note") << "a%b$t.1.zip" << MaybeText("a - t") << MaybeText("b");
    QTest::newRow("dot inside the title") << "a.x%b$t.zip" << kUnchanged << MaybeText("b");
    QTest::newRow("no markers") << "x.zip" << kUnchanged << kUnchanged;
}

void RowCaptionsTest::favouriteRows()
{
    QFETCH(QString, fileName);
    QFETCH(MaybeText, first);
    QFETCH(MaybeText, second);
    const RowCaptions captions = FavouriteRowCaptions(fileName);
    QCOMPARE(captions.first, first);
    QCOMPARE(captions.second, second);
}

void RowCaptionsTest::lectureListFileName_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("eight characters") << "Conf%20131015*" << "20131015.zip";
    QTest::newRow("four characters") << "Conf%2013*" << QStringLiteral("新日期：2013.zip");
    QTest::newRow("longer date") << "Conf%2013-10-15*" << "13-10-15.zip";
    QTest::newRow("empty date") << "Conf%*" << QStringLiteral("更新日期：.zip");
}

void RowCaptionsTest::lectureListFileName()
{
    QFETCH(QString, line);
    QFETCH(QString, fileName);
    const MaybeText dateCaption = ConferenceRowCaptions(line).second;
    QVERIFY(dateCaption);
    QCOMPARE(LectureListFileName(*dateCaption), fileName);
}

QTEST_GUILESS_MAIN(RowCaptionsTest)
#include "RowCaptionsTest.moc"
