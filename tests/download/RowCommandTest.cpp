#include "download/CFileDownload.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QTimer>
#include <QtTest>

class RowCommandTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void enteringAConferenceReadsItsLectureList_data();
    void enteringAConferenceReadsItsLectureList();
    void lectureListWithoutRecordsEnds();
    void downloadShowsARisingPercentageThenTheFavourites();
    void cancelRunsInsideThePressThatStartedTheDownload();
    void secondPressWhileDownloadingIsRefused();
    void unknownSizeWritesNoPercentage();
    void storedLectureIsDownloadedAgainUnderItsName();
    void savedNameThatLeavesTheFolderIsRefused_data();
    void savedNameThatLeavesTheFolderIsRefused();
    void closingTheWindowAbortsTheDownload();
    void viewSwitchesAndAnotherConferenceDuringADownload();
    void rightButtonRunsNoCommand();

private:
    void press(int row, Qt::MouseButton button = Qt::LeftButton);
    void enterConferenceWith(const QStringList& lectureLines);
    QStringList stored() const;
    QString lectureLine(const QString& title, const std::string& path) const;

    std::unique_ptr<MainWindowFixture> fixture_;
    Form1* form_ = nullptr;
};

void RowCommandTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    fixture_->serveCatalogue({QStringLiteral("第一届心血管会议%20131015*"), QStringLiteral("短日期会议%2013*")});
    form_ = fixture_->load();
    QVERIFY(form_);
}

void RowCommandTest::cleanup()
{
    fixture_.reset();
}

void RowCommandTest::press(int row, Qt::MouseButton button)
{
    QTest::mouseClick(form_->Label10[row], button);
}

QString RowCommandTest::lectureLine(const QString& title, const std::string& path) const
{
    return title + QStringLiteral("%张医生$四十分钟*") + fixture_->server.url(QString::fromStdString(path));
}

void RowCommandTest::enterConferenceWith(const QStringList& lectureLines)
{
    QString text = QStringLiteral("讲座目录\r\n");
    for (const QString& line : lectureLines)
        text += line + QStringLiteral("\r\n");
    fixture_->server.serveBytes("/lists/20131015.zip", ToGb2312(text));
    press(0);
    QVERIFY(form_->Option1->Value());
}

QStringList RowCommandTest::stored() const
{
    return QDir(fixture_->favouritesFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void RowCommandTest::enteringAConferenceReadsItsLectureList_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("eight-character date") << 0 << QStringLiteral("20131015.zip");
    QTest::newRow("four-character date") << 1 << QStringLiteral("新日期：2013.zip");
}

void RowCommandTest::enteringAConferenceReadsItsLectureList()
{
    QFETCH(int, row);
    QFETCH(QString, fileName);
    const std::string path = "/lists/" + fileName.toStdString();
    fixture_->server.serveBytes(path, ToGb2312(QStringLiteral("冠心病%张医生$四十分钟*http://h/a.wma\r\n"
                                                               "心衰%李医生$三十分钟*http://h/b.wma\r\n")));
    QVERIFY(!form_->Option1->isEnabled());
    press(row);

    QCOMPARE(fixture_->server.requestCount(path), 1u);
    QVERIFY(form_->Option1->Value());
    QVERIFY(form_->Option1->isEnabled());
    QCOMPARE(form_->Option1->ForeColor(), 0x000000FFu);
    QCOMPARE(form_->Option3->ForeColor(), 0u);
    QCOMPARE(fixture_->visibleFirstCaptions(), (QStringList{"冠心病 - 四十分钟", "心衰 - 三十分钟"}));
    QCOMPARE(fixture_->visibleSecondCaptions(), (QStringList{"张医生", "李医生"}));
    for (int i = 0; i < Form1::kRows; ++i)
        QCOMPARE(form_->Label10[i]->Caption(), QStringLiteral("下 载"));
    QVERIFY(fixture_->host.messages.empty());
}

void RowCommandTest::lectureListWithoutRecordsEnds()
{
    fixture_->server.serveBytes("/lists/20131015.zip", ToGb2312(QStringLiteral("没有讲座\r\n")));
    press(0);
    QCOMPARE(fixture_->host.messages.size(), 1u);
    QCOMPARE(fixture_->host.messages[0].prompt, QStringLiteral("网络暂时无法链接，请稍后再试！"));
    QCOMPARE(fixture_->host.messages[0].style, 48);
    QCOMPARE(fixture_->host.endings, 1);
}

void RowCommandTest::downloadShowsARisingPercentageThenTheFavourites()
{
    const QByteArray lecture(200 * 1024, 'w');
    fixture_->server.serveSlowly("/audio/a.wma", lecture, 10 * 1024, std::chrono::milliseconds(40));
    enterConferenceWith({lectureLine(QStringLiteral("冠心病"), "/audio/a.wma")});

    QStringList shown;
    connect(form_->oDownload, &CFileDownload::OnProgress, this,
            [&] { shown.append(form_->Label1[0]->Caption()); });
    press(0);

    QVERIFY2(shown.size() >= 2, qPrintable(shown.join(u' ')));
    int last = -1;
    for (const QString& caption : shown) {
        QVERIFY(caption.endsWith(u'%'));
        const int percent = caption.chopped(1).toInt();
        QVERIFY(percent >= last && percent <= 100);
        last = percent;
    }
    QVERIFY(last > shown.first().chopped(1).toInt());
    QCOMPARE(form_->Label10[0]->Caption(), QStringLiteral("取 消"));
    QVERIFY(fixture_->host.messages.empty());
    QCOMPARE(stored(), QStringList{QStringLiteral("冠心病%张医生$四十分钟.zip")});

    QVERIFY(form_->Timer2->Enabled());
    QTRY_VERIFY_WITH_TIMEOUT(form_->Option2->Value(), 3000);
    QCOMPARE(fixture_->visibleFirstCaptions(), QStringList{"冠心病 - 四十分钟"});
    QCOMPARE(form_->Label1[0]->Caption(), QString());
    QCOMPARE(form_->Label10[0]->Caption(), QStringLiteral("播 放"));
}

void RowCommandTest::cancelRunsInsideThePressThatStartedTheDownload()
{
    fixture_->server.serveSlowly("/audio/a.wma", QByteArray(400 * 1024, 'w'), 8 * 1024, std::chrono::milliseconds(40));
    enterConferenceWith({lectureLine(QStringLiteral("冠心病"), "/audio/a.wma")});

    bool cancelled = false;
    QStringList atCancel;
    connect(form_->oDownload, &CFileDownload::OnProgress, this, [&] {
        if (cancelled)
            return;
        cancelled = true;
        QTimer::singleShot(0, this, [&] {
            press(0);
            atCancel << form_->Label10[0]->Caption() << form_->Label1[0]->Caption();
            // The failure message comes only after the cancel press has ended.
            atCancel << QString::number(fixture_->host.messages.size());
        });
    });
    press(0);

    QVERIFY(cancelled);
    QCOMPARE(atCancel, (QStringList{"下 载", "", "0"}));
    QCOMPARE(fixture_->host.messages.size(), 1u);
    QCOMPARE(fixture_->host.messages[0].prompt, QStringLiteral("下载失败!"));
    QCOMPARE(fixture_->host.messages[0].style, 0);
    QCOMPARE(form_->Label10[0]->Caption(), QStringLiteral("下 载"));
    QVERIFY(stored().isEmpty());
    QVERIFY(!form_->Timer2->Enabled());
}

void RowCommandTest::secondPressWhileDownloadingIsRefused()
{
    fixture_->server.serveSlowly("/audio/a.wma", QByteArray(300 * 1024, 'a'), 10 * 1024, std::chrono::milliseconds(30));
    fixture_->server.serveBytes("/audio/b.wma", QByteArray(1024, 'b'));
    enterConferenceWith({lectureLine(QStringLiteral("甲"), "/audio/a.wma"), lectureLine(QStringLiteral("乙"), "/audio/b.wma")});

    bool pressedSecond = false;
    connect(form_->oDownload, &CFileDownload::OnProgress, this, [&] {
        if (pressedSecond)
            return;
        pressedSecond = true;
        QTimer::singleShot(0, this, [&] { press(1); });
    });
    press(0);

    QVERIFY(pressedSecond);
    QCOMPARE(fixture_->server.requestCount("/audio/b.wma"), 0u);
    QCOMPARE(fixture_->host.messages.size(), 1u);
    QCOMPARE(fixture_->host.messages[0].prompt, QStringLiteral("下载失败!"));
    QCOMPARE(form_->Label10[1]->Caption(), QStringLiteral("下 载"));
    // The first download went on, its percentage now in the second row.
    QCOMPARE(stored(), QStringList{QStringLiteral("甲%张医生$四十分钟.zip")});
    QVERIFY(form_->Label1[1]->Caption().endsWith(u'%'));
    QCOMPARE(form_->iDownloadRow, 1);
}

void RowCommandTest::unknownSizeWritesNoPercentage()
{
    fixture_->server.serveWithoutLength("/audio/a.wma", QByteArray(256 * 1024, 'x'));
    enterConferenceWith({lectureLine(QStringLiteral("冠心病"), "/audio/a.wma")});
    int events = 0;
    connect(form_->oDownload, &CFileDownload::OnProgress, this, [&] {
        ++events;
        QCOMPARE(form_->Label1[0]->Caption(), QString());
    });
    press(0);
    QVERIFY(events > 0);
    QCOMPARE(form_->Label1[0]->Caption(), QString());
    QCOMPARE(stored().size(), 1);
}

void RowCommandTest::storedLectureIsDownloadedAgainUnderItsName()
{
    fixture_->addFavourites({QStringLiteral("冠心病%张医生$四十分钟.zip")});
    fixture_->server.serveBytes("/audio/a.wma", QByteArray("new lecture"));
    enterConferenceWith({lectureLine(QStringLiteral("冠心病"), "/audio/a.wma")});
    press(0);
    QVERIFY(fixture_->host.messages.empty());
    QFile file(fixture_->favouritesFolder() + QStringLiteral("/冠心病%张医生$四十分钟.zip"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("new lecture"));
    QCOMPARE(stored().size(), 1);
}

void RowCommandTest::savedNameThatLeavesTheFolderIsRefused_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("climbs out") << QStringLiteral("../../逃出");
    QTest::newRow("backslash") << QStringLiteral("..\\..\\逃出");
    QTest::newRow("control character") << QStringLiteral("讲\x01座");
}

void RowCommandTest::savedNameThatLeavesTheFolderIsRefused()
{
    QFETCH(QString, title);
    fixture_->server.serveBytes("/audio/a.wma", QByteArray("payload"));
    enterConferenceWith({lectureLine(title, "/audio/a.wma")});
    const QStringList aroundBefore = QDir(fixture_->programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    press(0);
    QCOMPARE(fixture_->host.messages.size(), 1u);
    QCOMPARE(fixture_->host.messages[0].prompt, QStringLiteral("下载失败!"));
    QCOMPARE(fixture_->server.requestCount("/audio/a.wma"), 0u);
    QVERIFY(stored().isEmpty());
    QCOMPARE(QDir(fixture_->programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), aroundBefore);
    QCOMPARE(form_->Label10[0]->Caption(), QStringLiteral("下 载"));
}

void RowCommandTest::closingTheWindowAbortsTheDownload()
{
    fixture_->server.serveSlowly("/audio/a.wma", QByteArray(400 * 1024, 'w'), 8 * 1024, std::chrono::milliseconds(40));
    enterConferenceWith({lectureLine(QStringLiteral("冠心病"), "/audio/a.wma")});
    bool closed = false;
    connect(form_->oDownload, &CFileDownload::OnProgress, this, [&] {
        if (!closed) {
            closed = true;
            QTimer::singleShot(0, form_, &QWidget::close);
        }
    });
    press(0);
    QVERIFY(closed);
    QCOMPARE(fixture_->host.endings, 1);
    QVERIFY(stored().isEmpty());
}

void RowCommandTest::viewSwitchesAndAnotherConferenceDuringADownload()
{
    fixture_->server.serveSlowly("/audio/a.wma", QByteArray(300 * 1024, 'a'), 10 * 1024, std::chrono::milliseconds(30));
    fixture_->server.serveBytes("/lists/新日期：2013.zip",
                                ToGb2312(QStringLiteral("别的讲座%李医生$十分钟*http://h/other.wma\r\n")));
    enterConferenceWith({lectureLine(QStringLiteral("冠心病"), "/audio/a.wma")});

    bool switched = false;
    QString percentageInOtherConference;
    connect(form_->oDownload, &CFileDownload::OnProgress, this, [&] {
        if (switched)
            return;
        switched = true;
        QTimer::singleShot(0, this, [&] {
            auto choose = [](QRadioButton* option) {
                QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
            };
            choose(form_->Option2);
            choose(form_->Option3);
            press(1);  // enters the other conference while the download runs
        });
    });
    connect(form_->oDownload, &CFileDownload::OnProgress, this, [&] {
        if (form_->Option1->Value() && form_->List2.List(0).startsWith(QStringLiteral("别的讲座")))
            percentageInOtherConference = form_->Label1[0]->Caption();
    });
    press(0);

    QVERIFY(switched);
    QVERIFY(fixture_->host.messages.empty());
    QCOMPARE(form_->List2.List(0).left(4), QStringLiteral("别的讲座"));
    QVERIFY2(percentageInOtherConference.endsWith(u'%'), qPrintable(percentageInOtherConference));
    // The download kept the source and target it was started with.
    QCOMPARE(stored(), QStringList{QStringLiteral("冠心病%张医生$四十分钟.zip")});
    QTRY_VERIFY_WITH_TIMEOUT(form_->Option2->Value(), 3000);
}

void RowCommandTest::rightButtonRunsNoCommand()
{
    fixture_->server.serveBytes("/lists/20131015.zip", ToGb2312(QStringLiteral("冠心病%张医生$四十分钟*http://h/a\r\n")));
    press(0, Qt::RightButton);
    press(0, Qt::MiddleButton);
    QVERIFY(form_->Option3->Value());
    QCOMPARE(fixture_->server.requestCount("/lists/20131015.zip"), 0u);
}

QTEST_MAIN(RowCommandTest)
#include "RowCommandTest.moc"
