// SPDX-License-Identifier: GPL-3.0-or-later

// How alive the window stays while a large lecture downloads through the
// row button: the longest gap between two runs of the event pump while data
// flows, and the throughput next to the download engine on its own.
//
//   window_download_bench [SIZE_MIB]   (default 1024)
#include "download/DownloadEngine.h"
#include "download/DownloadJob.h"
#include "platform/net/NetworkAccess.h"
#include "support/Gb2312.h"
#include "support/JobRun.h"
#include "support/MainWindowFixture.h"
#include "support/MainWindowParts.h"
#include "support/RecordingHost.h"
#include "support/ServerAddresses.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// Re-posts an event to itself each time it gets one: every pass of the
// event pump delivers exactly one, so the gaps between deliveries are the
// gaps between pump runs.
class PumpProbe : public QObject {
public:
    bool measuring = false;
    qint64 longestGap = 0;
    qint64 runs = 0;

    void start() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        if (measuring && sincePump_.isValid())
            longestGap = std::max(longestGap, sincePump_.elapsed());
        if (measuring)
            ++runs;
        sincePump_.start();
        start();
        return true;
    }

private:
    QElapsedTimer sincePump_;
};

double miBPerSecond(qint64 bytes, qint64 ms)
{
    return ms > 0 ? bytes / 1048576.0 / (ms / 1000.0) : 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const qint64 size = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 1024) * 1048576;

    TestHttpServer server;
    server.serveGenerated("/audio/big.wma", size);
    server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
    server.serveBytes("/lists/catalogue.txt", toGb2312(QStringLiteral("会议%20131015*\r\n")));
    server.serveBytes("/lists/20131015.zip",
                      toGb2312(QStringLiteral("大讲座%医生$说明*") + server.url("/audio/big.wma") + "\r\n"));
    QTemporaryDir folder;
    RecordingHost host;

    // The engine alone.
    qint64 aloneMs = 0;
    {
        platform::NetworkAccess network;
        DownloadJob job(network, server.url("/audio/big.wma"), folder.path() + "/alone.bin");
        QElapsedTimer clock;
        clock.start();
        const bool ok = runToEnd(job).isComplete();
        aloneMs = clock.elapsed();
        QFile::remove(folder.path() + "/alone.bin");
        if (!ok) {
            std::fprintf(stderr, "engine download failed\n");
            return 1;
        }
    }

    // Through the window: enter the conference, press "下 载".
    MainWindow window(addressesFor(server), folder.path());
    if (!loadAndWait(window))
        return 1;
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    QTest::mouseClick(window.pageList().rows[0].actionButton, Qt::LeftButton);

    // The gaps between pump runs while data flows are what a user feels
    // as a frozen window; measuring starts with the first progress event.
    PumpProbe probe;
    probe.start();
    QObject::connect(window.downloadEngine(), &DownloadEngine::progressed, [&] { probe.measuring = true; });
    bool ended = false;
    QObject::connect(window.downloadEngine(), &DownloadEngine::finished, [&] { ended = true; });
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.pageList().rows[0].actionButton, Qt::LeftButton);
    (void)QTest::qWaitFor([&] { return ended; }, 10 * 60 * 1000);
    const qint64 windowMs = clock.elapsed();
    probe.measuring = false;
    const bool stored = QDir(window.favouritesFolder()).entryList(QDir::Files).size() == 1;

    std::printf("size                         %lld MiB\n", static_cast<long long>(size / 1048576));
    std::printf("engine alone                 %8.1f MiB/s\n", miBPerSecond(size, aloneMs));
    std::printf("through the window           %8.1f MiB/s (%.2fx)\n", miBPerSecond(size, windowMs),
                aloneMs > 0 ? static_cast<double>(aloneMs) / windowMs : 0);
    std::printf("event pump runs              %lld\n", static_cast<long long>(probe.runs));
    std::printf("longest gap between pumps    %lld ms\n", static_cast<long long>(probe.longestGap));
    std::printf("lecture stored               %s, messages %zu\n", stored ? "yes" : "no", host.messages.size());
    return stored && host.messages.empty() ? 0 : 1;
}
