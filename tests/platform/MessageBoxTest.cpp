// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/MessageBox.h"

#include "parts/Notices.h"
#include "platform/host/ChineseTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QtTest>

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void showsItsButtonsInChineseAndAnswersWithThePress_data();
    void showsItsButtonsInChineseAndAnswersWithThePress();
};

void MessageBoxTest::initTestCase()
{
    QVERIFY2(platform::installChineseStandardTexts(*QCoreApplication::instance()),
             "Qt's Chinese translation (qt6-translations-l10n) is not installed");
}

void MessageBoxTest::showsItsButtonsInChineseAndAnswersWithThePress_data()
{
    using Box = QMessageBox;
    QTest::addColumn<int>("icon");
    QTest::addColumn<Box::StandardButtons>("buttons");
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::addColumn<int>("pressed");  // NoButton: closed with Escape
    QTest::addColumn<int>("answer");
    QTest::newRow("OK, no icon") << int(Box::NoIcon) << Box::StandardButtons(Box::Ok) << QStringList{"确定"}
                                 << int(Box::Ok) << int(Box::Ok);
    QTest::newRow("warning, OK") << int(Box::Warning) << Box::StandardButtons(Box::Ok) << QStringList{"确定"}
                                 << int(Box::Ok) << int(Box::Ok);
    QTest::newRow("Yes") << int(Box::Warning) << (Box::Yes | Box::No) << QStringList{"是", "否"} << int(Box::Yes)
                         << int(Box::Yes);
    QTest::newRow("No") << int(Box::Warning) << (Box::Yes | Box::No) << QStringList{"是", "否"} << int(Box::No)
                        << int(Box::No);
    QTest::newRow("Escape on Yes/No") << int(Box::Warning) << (Box::Yes | Box::No) << QStringList{"是", "否"}
                                      << int(Box::NoButton) << int(Box::No);
}

void MessageBoxTest::showsItsButtonsInChineseAndAnswersWithThePress()
{
    QFETCH(int, icon);
    QFETCH(QMessageBox::StandardButtons, buttons);
    QFETCH(QStringList, buttonTexts);
    QFETCH(int, pressed);
    QFETCH(int, answer);
    auto built = platform::buildMessageBox(kNoticeTitle, QStringLiteral("网络暂时无法链接，请稍后再试！"),
                                           QMessageBox::Icon(icon), buttons);
    QMessageBox* box = built.get();
    QCOMPARE(box->windowTitle(), QStringLiteral("提示"));
    QCOMPARE(box->text(), QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(int(box->icon()), icon);
    QStringList texts;
    for (QAbstractButton* button : box->buttons())
        texts.append(button->text().remove(u'&'));
    QCOMPARE(texts.size(), buttonTexts.size());
    for (const QString& expected : buttonTexts)
        QVERIFY2(texts.join(u' ').contains(expected), qPrintable(texts.join(u' ')));

    QList<int> answers;
    const QPointer<QMessageBox> shown = platform::showMessageBox(
        std::move(built), [&answers](QMessageBox::StandardButton pressed) { answers << pressed; });
    QCOMPARE(shown.get(), box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::ApplicationModal);
    // Open, and nothing waited for it.
    QVERIFY(answers.isEmpty());
    if (pressed == QMessageBox::NoButton) {
        QTest::keyClick(box, Qt::Key_Escape);
    } else {
        QAbstractButton* button = box->button(QMessageBox::StandardButton(pressed));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(answers, QList{answer});
    // Gone once answered.
    QTRY_VERIFY(!shown);
}

QTEST_MAIN(MessageBoxTest)
#include "MessageBoxTest.moc"
