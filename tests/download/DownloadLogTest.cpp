// SPDX-License-Identifier: GPL-3.0-or-later

#include "download/DownloadJob.h"
#include "platform/net/NetworkAccess.h"
#include "support/FileBytes.h"
#include "support/FreePort.h"
#include "support/JobRun.h"
#include "support/TestHttpServer.h"

#include <QtTest>

namespace {

// The messages of the "kardelo.*" categories logged while it lives, as
// "category|type|message".
class KardeloLog {
public:
    KardeloLog()
    {
        messages_ = &lines;
        previous_ = qInstallMessageHandler(&KardeloLog::record);
    }
    ~KardeloLog()
    {
        qInstallMessageHandler(previous_);
        messages_ = nullptr;
    }
    QStringList lines;

private:
    static void record(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        const QString category = QString::fromLatin1(context.category ? context.category : "");
        if (messages_ && category.startsWith(QStringLiteral("kardelo.")))
            messages_->append(category + QLatin1StringView(type == QtWarningMsg ? "|warning|" : "|other|") + message);
        else if (previous_)
            previous_(type, context, message);
    }
    static inline QStringList* messages_ = nullptr;
    static inline QtMessageHandler previous_ = nullptr;
};

}  // namespace

class DownloadLogTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void failuresAreLoggedWithTheirReason_data();
    void failuresAreLoggedWithTheirReason();

private:
    platform::NetworkAccess network_;
    TestHttpServer server_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void DownloadLogTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void DownloadLogTest::failuresAreLoggedWithTheirReason_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("warnings");  // "category|text the warning holds"
    QTest::newRow("stored: nothing") << server_.url("/lecture.zip") << false << QStringList();
    QTest::newRow("cancelled: nothing") << server_.url("/lecture.zip") << true << QStringList();
    QTest::newRow("404") << server_.url("/missing.zip") << false
                         << QStringList{"kardelo.download|failed: HttpStatus: HTTP status 404"};
    QTest::newRow("connection refused") << QStringLiteral("http://127.0.0.1:%1/a.zip").arg(unusedLoopbackPort())
                                        << false
                                        << QStringList{"kardelo.net|failed: Failed to connect",
                                                       "kardelo.download|failed: Network: Failed to connect"};
}

// A failure the user sees only as "下载失败!" leaves its reason in the log,
// as a warning; a download that goes well or is cancelled logs no warning.
void DownloadLogTest::failuresAreLoggedWithTheirReason()
{
    QFETCH(QString, address);
    QFETCH(bool, cancel);
    QFETCH(QStringList, warnings);
    server_.serveBytes("/lecture.zip", generatedBytes(1000));
    DownloadJob download(network_, address, dir_->filePath(QStringLiteral("讲座.zip")));

    KardeloLog log;
    if (cancel)
        download.cancel();
    runToEnd(download);

    const QStringList logged = log.lines.filter(QStringLiteral("|warning|"));
    QCOMPARE(logged.size(), warnings.size());
    for (qsizetype i = 0; i < warnings.size(); ++i) {
        const QString category = warnings[i].section(u'|', 0, 0);
        const QString text = warnings[i].section(u'|', 1);
        QVERIFY2(logged[i].startsWith(category + u'|') && logged[i].contains(text), qPrintable(logged[i]));
    }
}

QTEST_GUILESS_MAIN(DownloadLogTest)
#include "DownloadLogTest.moc"
