#include "platform/host/ChineseTranslations.h"
#include "platform/widgets/MessageBoxDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QtTest>

class MessageBoxDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void styleGivesIconAndButtonsAndTheAnswerFollowsThePress_data();
    void styleGivesIconAndButtonsAndTheAnswerFollowsThePress();
};

void MessageBoxDialogTest::initTestCase()
{
    QVERIFY2(platform::installChineseStandardTexts(*QCoreApplication::instance()),
             "Qt's Chinese translation (qt6-translations-l10n) is not installed");
}

void MessageBoxDialogTest::styleGivesIconAndButtonsAndTheAnswerFollowsThePress_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::addColumn<int>("pressed");
    QTest::addColumn<int>("answer");
    QTest::newRow("0: OK, no icon") << 0 << int(QMessageBox::NoIcon) << QStringList{"确定"}
                                    << int(QMessageBox::Ok) << 1;
    QTest::newRow("48: exclamation, OK") << 48 << int(QMessageBox::Warning) << QStringList{"确定"}
                                         << int(QMessageBox::Ok) << 1;
    QTest::newRow("52: exclamation, Yes") << 52 << int(QMessageBox::Warning) << QStringList{"是", "否"}
                                          << int(QMessageBox::Yes) << 6;
    QTest::newRow("52: exclamation, No") << 52 << int(QMessageBox::Warning) << QStringList{"是", "否"}
                                         << int(QMessageBox::No) << 7;
}

void MessageBoxDialogTest::styleGivesIconAndButtonsAndTheAnswerFollowsThePress()
{
    QFETCH(int, style);
    QFETCH(int, icon);
    QFETCH(QStringList, buttonTexts);
    QFETCH(int, pressed);
    QFETCH(int, answer);
    const auto box = platform::buildMessageBox(QStringLiteral("网络暂时无法链接，请稍后再试！"), style,
                                               QStringLiteral("提示"));
    QCOMPARE(box->windowTitle(), QStringLiteral("提示"));
    QCOMPARE(box->text(), QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(int(box->icon()), icon);
    QStringList texts;
    for (QAbstractButton* button : box->buttons())
        texts.append(button->text().remove(u'&'));
    QCOMPARE(texts.size(), buttonTexts.size());
    for (const QString& expected : buttonTexts)
        QVERIFY2(texts.join(u' ').contains(expected), qPrintable(texts.join(u' ')));

    QAbstractButton* button = box->button(QMessageBox::StandardButton(pressed));
    QVERIFY(button);
    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    QCOMPARE(platform::runMessageBox(*box), answer);
}

QTEST_MAIN(MessageBoxDialogTest)
#include "MessageBoxDialogTest.moc"
