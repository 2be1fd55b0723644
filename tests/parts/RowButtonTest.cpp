// SPDX-License-Identifier: GPL-3.0-or-later

#include "parts/RowButton.h"

#include "support/PaintedFace.h"

#include <QSignalSpy>
#include <QtTest>

// What a row button does on its own: where the mouse presses it and where
// a release still counts, and a key press the focus walks away from.
class RowButtonTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void mouseRunsOnTheRelease_data();
    void mouseRunsOnTheRelease();
    void focusLeavingWhileAKeyHoldsItRunsNothing();

private:
    std::unique_ptr<QWidget> window_;
    RowButton* button_ = nullptr;
    RowButton* other_ = nullptr;
};

void RowButtonTest::init()
{
    window_ = std::make_unique<QWidget>();
    window_->resize(200, 60);
    button_ = new RowButton(window_.get());
    button_->setText(QStringLiteral("播 放"));
    button_->move(10, 10);
    other_ = new RowButton(window_.get());
    other_->move(100, 10);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void RowButtonTest::cleanup()
{
    window_.reset();
}

void RowButtonTest::mouseRunsOnTheRelease_data()
{
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<int>("clicks");
    QTest::newRow("on the caption") << QPoint(25, 10) << QPoint(30, 12) << 1;
    // The face stays down while the mouse wanders off, and the release
    // runs the command wherever it happens.
    QTest::newRow("let go beside it") << QPoint(25, 10) << QPoint(120, 40) << 1;
    QTest::newRow("on the rim, beside the caption") << QPoint(1, 10) << QPoint(1, 10) << 0;
}

void RowButtonTest::mouseRunsOnTheRelease()
{
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, releaseAt);
    QFETCH(int, clicks);
    QSignalSpy clicked(button_, &RowButton::clicked);
    other_->setFocus(Qt::TabFocusReason);

    QTest::mousePress(button_, Qt::LeftButton, {}, pressAt);
    QTest::mouseMove(button_, releaseAt);
    QCOMPARE(button_->isDown(), clicks > 0);
    QCOMPARE(paintedFace(*button_), clicks > 0 ? QStringLiteral("pressed") : QStringLiteral("released"));
    QCOMPARE(clicked.size(), 0);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, releaseAt);

    QCOMPARE(clicked.size(), clicks);
    QVERIFY(!button_->isDown());
    QCOMPARE(paintedFace(*button_), QStringLiteral("released"));
    // A click leaves the focus where it was.
    QCOMPARE(QApplication::focusWidget(), other_);
}

void RowButtonTest::focusLeavingWhileAKeyHoldsItRunsNothing()
{
    QSignalSpy clicked(button_, &RowButton::clicked);
    button_->setFocus(Qt::TabFocusReason);
    QTest::keyPress(button_, Qt::Key_Return);
    QVERIFY(button_->isDown());

    other_->setFocus(Qt::TabFocusReason);
    QVERIFY(!button_->isDown());
    QCOMPARE(paintedFace(*button_), QStringLiteral("released"));
    QTest::keyRelease(button_, Qt::Key_Return);
    QCOMPARE(clicked.size(), 0);

    // The next press is a whole one.
    button_->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button_, Qt::Key_Space);
    QCOMPARE(clicked.size(), 1);
}

QTEST_MAIN(RowButtonTest)
#include "RowButtonTest.moc"
