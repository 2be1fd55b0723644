#include "info/Form8.h"

#include "catalogue/DecodeAddress.h"
#include "support/RecordingHost.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QtTest>

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void addressLabelShowsTheDecodedHomePage_data();
    void addressLabelShowsTheDecodedHomePage();
    void clickOnTheAddressOpensTheHomePage_data();
    void clickOnTheAddressOpensTheHomePage();
    void malformedListLeavesTheAddressOut();
    void isAFixedWhiteDialogOfItsOwnSize();
    void opensCentredOnTheScreen();
    void showsItsPictureNameAndVersion();
    void addressHasTheHandPointerWithTheFingertipAsHotSpot();
    void closingDeletesIt_data();
    void closingDeletesIt();
};

namespace {

// An About window as the menu shows it: on its own, not modal. Closed and
// deleted again at the end of the test whatever happened.
class ShownAbout {
public:
    explicit ShownAbout(const QString& stored) : window_(new Form8(stored))
    {
        window_->show();
        exposed_ = QTest::qWaitForWindowExposed(window_);
    }
    ~ShownAbout() { delete window_.data(); }
    ShownAbout(const ShownAbout&) = delete;
    ShownAbout& operator=(const ShownAbout&) = delete;

    bool exposed() const { return exposed_; }
    Form8* operator->() const { return window_; }

private:
    QPointer<Form8> window_;
    bool exposed_ = false;
};

const QString kHome = QStringLiteral("http://127.0.0.1:18418/");

}  // namespace

void AboutWindowTest::addressLabelShowsTheDecodedHomePage_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("sample server") << kHome;
    QTest::newRow("short") << QStringLiteral("http://a.cn/");
    QTest::newRow("long") << QStringLiteral("https://lectures.example.org/cardiology/");
}

void AboutWindowTest::addressLabelShowsTheDecodedHomePage()
{
    QFETCH(QString, address);
    RecordingHost host;
    ShownAbout about(EncodeAddress(address));
    QVERIFY(about.exposed());
    QCOMPARE(about->Label7->Caption(), address);
    QVERIFY(about->Label7->isVisible());
    // The label is as wide as its text, whatever the text's length.
    const int textWidth = about->Label7->fontMetrics().horizontalAdvance(address);
    QVERIFY2(about->Label7->width() >= textWidth && about->Label7->width() <= textWidth + 4,
             qPrintable(QStringLiteral("width %1 for text %2").arg(about->Label7->width()).arg(textWidth)));
    QCOMPARE(about->Label7->x(), 104);
    // Loading opens nothing.
    QVERIFY(host.browserAddresses.isEmpty());
}

void AboutWindowTest::clickOnTheAddressOpensTheHomePage_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("releasedOnTheLabel");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("opened");
    QTest::newRow("one left click") << Qt::LeftButton << true << 1 << 1;
    QTest::newRow("two left clicks open twice") << Qt::LeftButton << true << 2 << 2;
    QTest::newRow("right click") << Qt::RightButton << true << 1 << 0;
    QTest::newRow("left press released beside it") << Qt::LeftButton << false << 1 << 0;
}

void AboutWindowTest::clickOnTheAddressOpensTheHomePage()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, releasedOnTheLabel);
    QFETCH(int, clicks);
    QFETCH(int, opened);
    RecordingHost host;
    ShownAbout about(EncodeAddress(kHome));
    QVERIFY(about.exposed());

    platform::LabelControl* label = about->Label7;
    const QPoint on = label->rect().center();
    const QPoint beside(label->width() + 30, on.y());
    for (int i = 0; i < clicks; ++i) {
        QTest::mousePress(label, button, {}, on);
        QTest::mouseRelease(label, button, {}, releasedOnTheLabel ? on : beside);
    }

    QCOMPARE(host.browserAddresses, QStringList(opened, kHome));
    QVERIFY(host.messages.empty());
    QCOMPARE(host.endings, 0);
    QVERIFY(about->isVisible());
}

void AboutWindowTest::malformedListLeavesTheAddressOut()
{
    RecordingHost host;
    ShownAbout about(EncodeAddress(kHome) + u',');
    QVERIFY(about.exposed());
    QCOMPARE(about->Label7->Caption(), QString());
    QCOMPARE(about->windowTitle(), QStringLiteral("版本信息"));
    QTest::mouseClick(about->Label7, Qt::LeftButton);
    QVERIFY(host.browserAddresses.isEmpty());
    QVERIFY(about->isVisible());
}

void AboutWindowTest::isAFixedWhiteDialogOfItsOwnSize()
{
    RecordingHost host;
    ShownAbout about(EncodeAddress(kHome));
    QVERIFY(about.exposed());
    QCOMPARE(about->windowTitle(), QStringLiteral("版本信息"));
    QVERIFY(about->isWindow());
    QCOMPARE(about->parentWidget(), nullptr);
    QCOMPARE(about->windowType(), Qt::Dialog);
    QVERIFY(!about->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    const Qt::WindowFlags flags = about->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(about->size(), QSize(307, 176));
    QCOMPARE(about->minimumSize(), QSize(307, 176));
    QCOMPARE(about->maximumSize(), QSize(307, 176));
    QVERIFY(!about->windowIcon().isNull());

    const QImage shot = about->grab().toImage().scaled(about->size());
    // The band runs across the top and is cut off by the right edge; white
    // below it.
    QCOMPARE(about->Label2->geometry(), QRect(0, 0, 317, 65));
    QCOMPARE(shot.pixelColor(306, 3), QColor(0xC0, 0xFF, 0xFF));
    QCOMPARE(shot.pixelColor(2, 62), QColor(0xC0, 0xFF, 0xFF));
    QCOMPARE(shot.pixelColor(306, 70), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(2, 172), QColor(Qt::white));
}

void AboutWindowTest::opensCentredOnTheScreen()
{
    RecordingHost host;
    ShownAbout about(EncodeAddress(kHome));
    QVERIFY(about.exposed());
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const QSize outer = about->frameGeometry().size();
    QCOMPARE(about->frameGeometry().topLeft(),
             QPoint((screen.width() - outer.width()) * 15 / 2 / 15, (screen.height() - outer.height()) * 15 / 2 / 15));
}

void AboutWindowTest::showsItsPictureNameAndVersion()
{
    RecordingHost host;
    ShownAbout about(EncodeAddress(kHome));
    QVERIFY(about.exposed());

    QCOMPARE(about->Image1->geometry(), QRect(16, 16, 57, 45));
    QVERIFY(about->Image1->hasScaledContents());
    QVERIFY(!about->Image1->pixmap().isNull());

    QCOMPARE(about->Label6->Caption(), QStringLiteral("Kardelo"));
    QCOMPARE(about->Label6->ForeColor(), 0x00808000u);
    QCOMPARE(about->Label6->font().family(), QStringLiteral("宋体"));
    QCOMPARE(about->Label6->font().pointSizeF(), 14.25);
    QVERIFY(about->Label6->font().bold());
    QCOMPARE(about->Label4->Caption(), QStringLiteral("版本：V2.01"));
    QCOMPARE(about->Label4->ForeColor(), 0x00808000u);
    QCOMPARE(about->Label5->Caption(), QStringLiteral("主页："));
    QCOMPARE(about->Label7->ForeColor(), 0x00FF0000u);
    QCOMPARE(about->lblDescription->ForeColor(), 0x00000000u);

    // Every line is readable: inside the window, not covered by another.
    const QList<platform::LabelControl*> lines{about->Label6, about->Label4, about->lblDescription, about->Label1,
                                               about->Label3, about->Label5, about->Label7};
    for (int i = 0; i < lines.size(); ++i) {
        QVERIFY(!lines[i]->Caption().isEmpty());
        QVERIFY2(about->rect().contains(lines[i]->geometry()), qPrintable(lines[i]->Caption()));
        for (int j = i + 1; j < lines.size(); ++j)
            QVERIFY2(!lines[i]->geometry().intersects(lines[j]->geometry()),
                     qPrintable(lines[i]->Caption() + QStringLiteral(" / ") + lines[j]->Caption()));
    }
    QVERIFY(about->Label1->Caption().contains(u'@'));
}

void AboutWindowTest::addressHasTheHandPointerWithTheFingertipAsHotSpot()
{
    RecordingHost host;
    ShownAbout about(EncodeAddress(kHome));
    QVERIFY(about.exposed());
    const QCursor cursor = about->Label7->cursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(12, 1));
    const QImage hand = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(hand.size(), QSize(32, 32));
    // The hot spot is the top of the drawing, dark outline of the fingertip.
    for (int x = 0; x < 32; ++x)
        QCOMPARE(qAlpha(hand.pixel(x, 0)), 0);
    QVERIFY(qAlpha(hand.pixel(12, 1)) > 200);
    QVERIFY(qGray(hand.pixel(12, 1)) < 100);
    // Below the tip the finger is white inside its outline.
    QCOMPARE(hand.pixel(12, 5), qRgb(255, 255, 255));
    // Only the label has it; the rest of the window keeps the arrow.
    QCOMPARE(about->Label5->cursor().shape(), Qt::ArrowCursor);
}

void AboutWindowTest::closingDeletesIt_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("title bar") << false;
    QTest::newRow("Escape") << true;
}

void AboutWindowTest::closingDeletesIt()
{
    QFETCH(bool, byEscape);
    RecordingHost host;
    QPointer<Form8> about = new Form8(EncodeAddress(kHome));
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    if (byEscape) {
        QTest::keyClick(about, Qt::Key_Escape);
        QVERIFY(!about->isVisible());
    } else {
        QVERIFY(about->close());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(about.isNull());
}

QTEST_MAIN(AboutWindowTest)
#include "AboutWindowTest.moc"
