#include "platform/ChineseTranslations.h"
#include "platform/MessageBoxDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QtTest>

class MessageBoxDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void styleGivesIconAndButtons_data();
    void styleGivesIconAndButtons();
    void answerFollowsTheButtonPressed_data();
    void answerFollowsTheButtonPressed();
};

void MessageBoxDialogTest::initTestCase()
{
    QVERIFY2(platform::InstallChineseStandardTexts(*QCoreApplication::instance()),
             "Qt's Chinese translation (qt6-translations-l10n) is not installed");
}

void MessageBoxDialogTest::styleGivesIconAndButtons_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QStringList>("buttonTexts");
    QTest::newRow("0: OK, no icon") << 0 << int(QMessageBox::NoIcon) << QStringList{"确定"};
    QTest::newRow("48: exclamation, OK") << 48 << int(QMessageBox::Warning) << QStringList{"确定"};
    QTest::newRow("52: exclamation, Yes and No") << 52 << int(QMessageBox::Warning) << QStringList{"是", "否"};
}

void MessageBoxDialogTest::styleGivesIconAndButtons()
{
    QFETCH(int, style);
    QFETCH(int, icon);
    QFETCH(QStringList, buttonTexts);
    const auto box = platform::BuildMessageBox(QStringLiteral("网络暂时无法链接，请稍后再试！"), style,
                                               QStringLiteral("提示"));
    QCOMPARE(box->windowTitle(), QStringLiteral("提示"));
    QCOMPARE(box->text(), QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(int(box->icon()), icon);
    QCOMPARE(box->buttons().size(), buttonTexts.size());
    QStringList texts;
    for (QAbstractButton* button : box->buttons())
        texts.append(button->text().remove(u'&'));
    for (const QString& expected : buttonTexts)
        QVERIFY2(texts.join(u' ').contains(expected), qPrintable(texts.join(u' ')));
}

void MessageBoxDialogTest::answerFollowsTheButtonPressed_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK") << 48 << int(QMessageBox::Ok) << 1;
    QTest::newRow("Yes") << 52 << int(QMessageBox::Yes) << 6;
    QTest::newRow("No") << 52 << int(QMessageBox::No) << 7;
}

void MessageBoxDialogTest::answerFollowsTheButtonPressed()
{
    QFETCH(int, style);
    QFETCH(int, button);
    QFETCH(int, answer);
    const auto box = platform::BuildMessageBox(QStringLiteral("检测到新版本，是否立即下载？"), style,
                                               QStringLiteral("提示"));
    QAbstractButton* pressed = box->button(QMessageBox::StandardButton(button));
    QVERIFY(pressed);
    QTimer::singleShot(0, pressed, [pressed] { QTest::mouseClick(pressed, Qt::LeftButton); });
    QCOMPARE(platform::RunMessageBox(*box), answer);
}

QTEST_MAIN(MessageBoxDialogTest)
#include "MessageBoxDialogTest.moc"
