// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/SearchKey.h"

#include <QtTest>

class SearchKeyTest : public QObject {
    Q_OBJECT

private slots:
    void typedTextFindsTheEntry_data();
    void typedTextFindsTheEntry();
};

void SearchKeyTest::typedTextFindsTheEntry_data()
{
    const QStringList lecture{QStringLiteral("心源性休克的ECMO治疗"), QStringLiteral("张伟"),
                              QStringLiteral("滤过 第2讲")};
    const QStringList latin{"Heart Failure Update", "John Smith"};
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::newRow("part of the text") << lecture << QStringLiteral("心源性") << true;
    QTest::newRow("other case") << lecture << "Ecmo" << true;
    QTest::newRow("full-width letters") << lecture << QStringLiteral("ＥＣＭＯ治疗") << true;
    QTest::newRow("ideographic space") << lecture << QStringLiteral("滤过　第２讲") << true;
    QTest::newRow("full pinyin") << lecture << "xinyuanxingxiuke" << true;
    QTest::newRow("initials") << lecture << "xyxxk" << true;
    QTest::newRow("partial pinyin, mixed case") << lecture << "XinYuanX" << true;
    QTest::newRow("pinyin typed with spaces") << lecture << " xin yuan " << true;
    QTest::newRow("pinyin across a Latin word") << lecture << "ecmozhiliao" << true;
    QTest::newRow("a later field") << lecture << "zhangwei" << true;
    QTest::newRow("u with diaeresis typed as v") << lecture << "lvguo" << true;
    QTest::newRow("no such pinyin") << lecture << "xinzang" << false;
    QTest::newRow("no such text") << lecture << QStringLiteral("心脏") << false;
    QTest::newRow("not across two fields") << lecture << QStringLiteral("治疗张") << false;
    QTest::newRow("pinyin not across two fields") << lecture << "zhiliaozhang" << false;
    QTest::newRow("Latin title") << latin << "failure up" << true;
    QTest::newRow("Latin title by its initials") << latin << "hfu" << false;
    QTest::newRow("empty query") << lecture << "" << true;
    QTest::newRow("only spaces") << latin << QStringLiteral(" \u3000 ") << true;
}

void SearchKeyTest::typedTextFindsTheEntry()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, typed);
    QFETCH(bool, found);
    QCOMPARE(matches(SearchKey(fields), SearchQuery(typed)), found);
}

QTEST_GUILESS_MAIN(SearchKeyTest)
#include "SearchKeyTest.moc"
