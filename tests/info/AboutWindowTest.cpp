// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/AboutWindow.h"

#include "format/DecodeAddress.h"
#include "support/RecordingHost.h"

#include <QAccessible>
#include <QPointer>
#include <QtTest>

#include <optional>

namespace {

const QString kHome = QStringLiteral("http://127.0.0.1:18418/");

}  // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { host_.emplace(); }
    void cleanup();
    void addressLabelShowsTheDecodedHomePage_data();
    void addressLabelShowsTheDecodedHomePage();
    void clickOnTheAddressOpensTheHomePage_data();
    void clickOnTheAddressOpensTheHomePage();
    void addressIsALinkTheKeyboardOpens();
    void malformedListLeavesTheAddressOut();
    void isAFixedWhiteDialogOfItsOwnSize();
    void showsItsPictureNameAndVersion();
    void addressHasTheHandPointerWithTheFingertipAsHotSpot();
    void closingDeletesIt_data();
    void closingDeletesIt();

private:
    // Shows an About window as the menu does: on its own, not modal.
    bool show(const QString& stored = encodeAddress(kHome))
    {
        about_ = new AboutWindow(stored);
        about_->show();
        return QTest::qWaitForWindowExposed(about_);
    }

    std::optional<RecordingHost> host_;
    QPointer<AboutWindow> about_;
};

void AboutWindowTest::cleanup()
{
    delete about_.data();
    host_.reset();
}

void AboutWindowTest::addressLabelShowsTheDecodedHomePage_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("sample server") << kHome;
    QTest::newRow("short") << "http://a.cn/";
    QTest::newRow("long") << "https://lectures.example.org/cardiology/";
}

void AboutWindowTest::addressLabelShowsTheDecodedHomePage()
{
    QFETCH(QString, address);
    QVERIFY(show(encodeAddress(address)));
    const platform::CaptionLabel* label = about_->homePageLink;
    QCOMPARE(label->caption(), address);
    QVERIFY(label->isVisible());
    // The label is as wide as its text, whatever the text's length.
    const int textWidth = label->fontMetrics().horizontalAdvance(address);
    QVERIFY2(label->width() >= textWidth && label->width() <= textWidth + 4,
             qPrintable(QStringLiteral("width %1 for text %2").arg(label->width()).arg(textWidth)));
}

void AboutWindowTest::malformedListLeavesTheAddressOut()
{
    QVERIFY(show(encodeAddress(kHome) + u','));
    QCOMPARE(about_->homePageLink->caption(), QString());
    QTest::mouseClick(about_->homePageLink, Qt::LeftButton);
    QVERIFY(host_->browserAddresses.isEmpty());
    QVERIFY(about_->isVisible());
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
    QVERIFY(show());

    platform::CaptionLabel* label = about_->homePageLink;
    const QPoint on = label->rect().center();
    const QPoint beside(label->width() + 30, on.y());
    for (int i = 0; i < clicks; ++i) {
        QTest::mousePress(label, button, {}, on);
        QTest::mouseRelease(label, button, {}, releasedOnTheLabel ? on : beside);
    }

    QCOMPARE(host_->browserAddresses, QStringList(opened, kHome));
    QVERIFY(host_->messages.empty());
    QCOMPARE(host_->endings, 0);
    QVERIFY(about_->isVisible());
}

void AboutWindowTest::addressIsALinkTheKeyboardOpens()
{
    QVERIFY(show());
    platform::CaptionButton* link = about_->homePageLink;
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(link);
    QCOMPARE(reader->role(), QAccessible::Link);
    QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("作者主页"));
    QCOMPARE(reader->text(QAccessible::Description), kHome);
    QVERIFY(link->focusPolicy() & Qt::TabFocus);

    QTest::keyClick(link, Qt::Key_Return);
    QCOMPARE(host_->browserAddresses, QStringList{kHome});
}

void AboutWindowTest::isAFixedWhiteDialogOfItsOwnSize()
{
    QVERIFY(show());
    QCOMPARE(about_->windowTitle(), QStringLiteral("版本信息"));
    QCOMPARE(about_->windowType(), Qt::Dialog);
    QVERIFY(!about_->isModal());
    const Qt::WindowFlags flags = about_->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(about_->minimumSize(), about_->maximumSize());
    QCOMPARE(about_->size(), about_->minimumSize());
    QVERIFY(!about_->windowIcon().isNull());

    // The cyan band runs across the whole top, to the right edge; white below.
    const QImage shot = about_->grab().toImage().scaled(about_->size());
    const int right = about_->width() - 1;
    QCOMPARE(shot.pixelColor(right, 3), QColor(0xC0, 0xFF, 0xFF));
    QCOMPARE(shot.pixelColor(2, 62), QColor(0xC0, 0xFF, 0xFF));
    QCOMPARE(shot.pixelColor(right, 70), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(2, about_->height() - 4), QColor(Qt::white));
}

void AboutWindowTest::showsItsPictureNameAndVersion()
{
    QVERIFY(show());
    QVERIFY(!about_->productPicture->pixmap().isNull());
    QCOMPARE(about_->productName->caption(), QStringLiteral("Kardelo"));
    QCOMPARE(about_->versionLabel->caption(), QStringLiteral("版本：V2.01"));

    // Every line is readable: inside the window, not covered by another.
    const QList<platform::CaptionLabel*> lines{about_->productName, about_->versionLabel, about_->developerLabel,
                                               about_->emailLabel,  about_->wechatLabel,  about_->homePageCaption,
                                               about_->homePageLink};
    for (int i = 0; i < lines.size(); ++i) {
        QVERIFY(!lines[i]->caption().isEmpty());
        QVERIFY2(about_->rect().contains(lines[i]->geometry()), qPrintable(lines[i]->caption()));
        for (int j = i + 1; j < lines.size(); ++j)
            QVERIFY2(!lines[i]->geometry().intersects(lines[j]->geometry()),
                     qPrintable(lines[i]->caption() + QStringLiteral(" / ") + lines[j]->caption()));
    }
}

void AboutWindowTest::addressHasTheHandPointerWithTheFingertipAsHotSpot()
{
    QVERIFY(show());
    const QCursor cursor = about_->homePageLink->cursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    const QImage hand = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    const QPoint tip = cursor.hotSpot();
    QVERIFY(hand.rect().contains(tip + QPoint(0, 4)));
    // The hot spot is the dark outline at the top of the fingertip, with
    // nothing drawn above it and the white finger below.
    for (int y = 0; y < tip.y(); ++y) {
        for (int x = 0; x < hand.width(); ++x)
            QCOMPARE(qAlpha(hand.pixel(x, y)), 0);
    }
    QVERIFY(qAlpha(hand.pixel(tip)) > 200);
    QVERIFY(qGray(hand.pixel(tip)) < 100);
    QCOMPARE(hand.pixel(tip + QPoint(0, 4)), qRgb(255, 255, 255));
    // Only the label has it; the rest of the window keeps the arrow.
    QCOMPARE(about_->homePageCaption->cursor().shape(), Qt::ArrowCursor);
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
    QVERIFY(show());
    if (byEscape)
        QTest::keyClick(about_, Qt::Key_Escape);
    else
        QVERIFY(about_->close());
    QVERIFY(!about_->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(about_.isNull());
}

QTEST_MAIN(AboutWindowTest)
#include "AboutWindowTest.moc"
