// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/MainWindowFixture.h"

#include "catalogue/RowCaptions.h"
#include "download/DownloadQueue.h"
#include "platform/host/SessionBus.h"
#include "shell/StartProcedure.h"
#include "support/Gb2312.h"
#include "support/ServerAddresses.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A window under test keeps the listener's settings and the library's texts
// in folders of its process's own, fresh at each run: never the user's, and
// never what an earlier run left.
void usePrivateUserFolders()
{
    static QTemporaryDir folders;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folders.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folders.filePath(QStringLiteral("cache"))));
}
Q_COREAPP_STARTUP_FUNCTION(usePrivateUserFolders)

}  // namespace

MainWindowFixture::MainWindowFixture(const QString& folderName)
    : host(QMessageBox::Ok),
      folder_(QDir(QDir::tempPath()).filePath(folderName))
{
    server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
    serveCatalogue(conferenceLines(3));
}

MainWindowFixture::~MainWindowFixture() = default;

void MainWindowFixture::serveCatalogue(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    server.serveBytes("/lists/catalogue.txt", toGb2312(text));
}

MainWindow* MainWindowFixture::load()
{
    window_ = std::make_unique<MainWindow>(addressesFor(server), folder_.path());
    if (!loadAndWait(*window_))
        return nullptr;
    window_->show();
    window_->sessionBus().start();
    if (!QTest::qWaitForWindowExposed(window_.get()))
        return nullptr;
    return window_.get();
}

bool loadAndWait(MainWindow& window)
{
    QSignalSpy opened(&window, &MainWindow::opened);
    QSignalSpy ended(&window, &MainWindow::ended);
    window.loadAtStartUp();
    // Beyond every limit of a fetch: a hang fails here, not in a later check.
    (void)QTest::qWaitFor([&] { return !opened.isEmpty() || !ended.isEmpty(); }, 150000);
    return !opened.isEmpty();
}

std::unique_ptr<StartProcedure> startAndWait(const StoredAddresses& addresses, const QString& programFolder,
                                             const std::function<bool()>& until)
{
    auto start = std::make_unique<StartProcedure>(addresses, programFolder);
    QSignalSpy shown(start.get(), &StartProcedure::windowShown);
    QSignalSpy ended(start.get(), &StartProcedure::ended);
    start->start();
    (void)QTest::qWaitFor([&] { return !shown.isEmpty() || !ended.isEmpty() || (until && until()); }, 150000);
    return start;
}

bool MainWindowFixture::enterConference(int row)
{
    const std::size_t messagesBefore = host.messages.size();
    QTest::mouseClick(window_->pageList().rows[row].actionButton, Qt::LeftButton);
    const auto entered = [this] { return window_->viewBar().lecturesOption->isChecked(); };
    (void)QTest::qWaitFor([&] { return entered() || host.messages.size() > messagesBefore; }, 60000);
    return entered();
}

bool MainWindowFixture::enterConferenceWith(const QStringList& titlesAndPaths)
{
    QString text = QStringLiteral("讲座目录\r\n");
    for (qsizetype i = 0; i + 1 < titlesAndPaths.size(); i += 2)
        text += titlesAndPaths[i] + QStringLiteral("%张医生$四十分钟*") + server.url(titlesAndPaths[i + 1])
            + QStringLiteral("\r\n");
    const QString listName = conferenceListFileName(window_->pageModel().entry(0)).value_or(QString());
    server.serveBytes("/lists/" + listName.toStdString(), toGb2312(text));
    return enterConference();
}

QStringList MainWindowFixture::rowStates() const
{
    QStringList result;
    for (int i = 0; i < window_->pageList().pageRows; ++i) {
        const PageRow& row = window_->pageList().rows[i];
        const QString percentage = row.percentage->caption();
        result << row.actionButton->text() + u'|' + (percentage.endsWith(u'%') ? QStringLiteral("n%") : percentage);
    }
    return result;
}

void MainWindowFixture::waitWhileDownloading()
{
    waitWhileDownloading(*window_);
}

void MainWindowFixture::waitWhileDownloading(const MainWindow& window)
{
    // The window's shutdown lets go of its queue.
    (void)QTest::qWaitFor([&window] { return !window.downloadQueue() || window.downloadQueue()->isEmpty(); }, 60000);
}

QMetaObject::Connection MainWindowFixture::onDownloadProgress(const MainWindow& window, QObject* context,
                                                              std::function<void()> progressed)
{
    DownloadQueue* queue = window.downloadQueue();
    return QObject::connect(queue, &DownloadQueue::stateChanged, context,
                            [queue, progressed = std::move(progressed)](const QString& target) {
                                if (queue->state(target).received > 0)
                                    progressed();
                            });
}

QString MainWindowFixture::favouritesFolder() const
{
    return folder_.path() + QStringLiteral("/我的收藏");
}

QStringList MainWindowFixture::messages() const
{
    QStringList result;
    for (const RecordingHost::Message& m : host.messages)
        result << m.prompt + (m.icon == QMessageBox::Warning ? QStringLiteral("|warning") : QStringLiteral("|no icon"));
    return result;
}

void MainWindowFixture::addFavourites(const QStringList& names)
{
    QDir().mkpath(favouritesFolder());
    for (const QString& name : names) {
        QFile file(favouritesFolder() + u'/' + name);
        file.open(QIODevice::WriteOnly);
        file.write("lecture");
    }
}

QStringList MainWindowFixture::visibleFirstCaptions() const
{
    QStringList captions;
    for (int i = 0; i < window_->pageList().pageRows; ++i) {
        if (window_->pageList().rows[i].frame->isVisible())
            captions.append(window_->pageList().rows[i].title->caption());
    }
    return captions;
}

QStringList MainWindowFixture::visibleSecondCaptions() const
{
    QStringList captions;
    for (int i = 0; i < window_->pageList().pageRows; ++i) {
        if (window_->pageList().rows[i].frame->isVisible())
            captions.append(window_->pageList().rows[i].subtitle->caption());
    }
    return captions;
}

QStringList conferenceLines(int n)
{
    QStringList lines;
    for (int k = 0; k < n; ++k)
        lines.append(QStringLiteral("会议") + QString::number(k) + QStringLiteral("%2013")
                     + QStringLiteral("%1").arg(1001 + k, 4, 10, QLatin1Char('0')) + u'*');
    return lines;
}

QStringList favouriteNames(int n)
{
    QStringList names;
    for (int k = 0; k < n; ++k) {
        const QString number = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        names.append(QStringLiteral("讲座") + number + QStringLiteral("%医生") + number + QStringLiteral("$说明")
                     + number + QStringLiteral(".zip"));
    }
    return names;
}
