// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/widgets/MessageBox.h"

#include "parts/Notices.h"
#include "platform/host/ChineseTranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
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
    const auto box = platform::buildMessageBox(kNoticeTitle, QStringLiteral("网络暂时无法链接，请稍后再试！"),
                                               QMessageBox::Icon(icon), buttons);
    QCOMPARE(box->windowTitle(), QStringLiteral("提示"));
    QCOMPARE(box->text(), QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(int(box->icon()), icon);
    QStringList texts;
    for (QAbstractButton* button : box->buttons())
        texts.append(button->text().remove(u'&'));
    QCOMPARE(texts.size(), buttonTexts.size());
    for (const QString& expected : buttonTexts)
        QVERIFY2(texts.join(u' ').contains(expected), qPrintable(texts.join(u' ')));

    if (pressed == QMessageBox::NoButton) {
        QTimer::singleShot(0, box.get(), [&box] { QTest::keyClick(box.get(), Qt::Key_Escape); });
    } else {
        QAbstractButton* button = box->button(QMessageBox::StandardButton(pressed));
        QVERIFY(button);
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    }
    QCOMPARE(int(platform::runMessageBox(*box)), answer);
}

QTEST_MAIN(MessageBoxTest)
#include "MessageBoxTest.moc"
