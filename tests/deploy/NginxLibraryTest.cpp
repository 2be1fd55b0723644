// SPDX-License-Identifier: GPL-3.0-or-later

// The library served by nginx with the configuration a publisher installs,
// deploy/nginx/kardelo-library.conf, and the client reading it: what each
// answer carries, the client's start, a conference and a download, and a
// download that breaks off and goes on from where it stopped.
#include "shell/LibraryAvailability.h"
#include "shell/MainWindow.h"
#include "shell/StartProcedure.h"
#include "support/CuttingRelay.h"
#include "support/FileBytes.h"
#include "support/MainWindowFixture.h"
#include "support/NginxServer.h"
#include "support/ServerAddresses.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <httplib.h>

class NginxLibraryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void answersCarryWhatTheClientNeeds_data();
    void answersCarryWhatTheClientNeeds();
    void clientStartsEntersAConferenceAndDownloadsALecture();
    void brokenOffDownloadGoesOnWithARange();
    void keptLibraryIsAskedForIfChangedAndBrowsedWithoutTheServer();
    void publishersCheckFindsTheLibraryFit();

private:
    // Starts the client on nginx and enters the first conference.
    std::unique_ptr<StartProcedure> startAndEnterFirstConference(MainWindowFixture& fixture);
    QString libraryFile(const QString& path) const { return library_->filePath(path); }
    bool publishFor(const QString& root) const;
    // "method target status" of every request nginx answered, once it has logged count of them.
    QStringList loggedRequests(std::size_t count) const;

    std::unique_ptr<QTemporaryDir> library_;
    std::unique_ptr<NginxServer> nginx_;
};

namespace {

const QString kListText = QStringLiteral("text/plain; charset=gb2312");
const QString kPage = QStringLiteral("text/html; charset=utf-8");
const QString kAudio = QStringLiteral("audio/x-ms-wma");
const QString kFirstLecture = QStringLiteral("audio/20140118-1.wma");  // the first conference's first
constexpr qint64 kResumeFrom = 1000;

bool copyFolder(const QString& from, const QString& to)
{
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = to + source.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target))
            return false;
    }
    return true;
}

// The lists name their audio by its full address: the library is built for
// the root it is served at, as a publisher builds it, by the publisher's
// tool from the sample's sources (over the copy, whose pages and audio stay).
bool publish(const QString& library, const QString& root, QString* output)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(
        QStringLiteral(KARDELO_LIBRARY_TOOL),
        {QStringLiteral("build"), QStringLiteral("--root"), root, QStringLiteral(KARDELO_SAMPLE_SOURCE), library});
    const bool finished = tool.waitForFinished(60000);
    *output = QString::fromUtf8(tool.readAll());
    return finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

httplib::Result ask(int port, const QString& target, const httplib::Headers& extra = {})
{
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);  // the targets are sent as written, percent-encoding and all
    httplib::Headers headers{{"If-Modified-Since", "0"}, {"Accept-Encoding", "gzip"}};
    headers.insert(extra.begin(), extra.end());
    return client.Get(target.toStdString(), headers);
}

QString header(const httplib::Response& answer, const char* name)
{
    return QString::fromStdString(answer.get_header_value(name));
}

}  // namespace

void NginxLibraryTest::initTestCase()
{
    if (NginxServer::executable().isEmpty())
        QSKIP("nginx is not installed (Debian: apt-get install nginx-light); the library's server "
              "configuration is not tried.");
}

void NginxLibraryTest::init()
{
    library_ = std::make_unique<QTemporaryDir>();
    QVERIFY(copyFolder(QStringLiteral(KARDELO_SAMPLE_LIBRARY), library_->path()));
    nginx_ = std::make_unique<NginxServer>(library_->path());
    QVERIFY2(nginx_->failure().isEmpty(), qPrintable(nginx_->failure()));
}

void NginxLibraryTest::cleanup()
{
    nginx_.reset();
    library_.reset();
}

bool NginxLibraryTest::publishFor(const QString& root) const
{
    QString output;
    const bool published = publish(library_->path(), root, &output);
    if (!published)
        qWarning().noquote() << "kardelo-library build:" << output;
    return published;
}

QStringList NginxLibraryTest::loggedRequests(std::size_t count) const
{
    QStringList logged;
    // The library's index, read in the background for the search, comes
    // whenever it comes: it is left out of the order the rest keeps.
    for (const NginxServer::LoggedRequest& request : nginx_->accessLog()) {
        if (!request.target.endsWith(u"/library-index.txt"))
            logged << request.method + u' ' + request.target + u' ' + QString::number(request.status);
    }
    return std::size_t(logged.size()) >= count ? logged : QStringList();
}

void NginxLibraryTest::answersCarryWhatTheClientNeeds_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("file");  // the file served, below the library; none for a refusal
    QTest::addColumn<bool>("rewritten");  // the file changes after a first answer
    QTest::addColumn<QString>("ifRange");  // with "Range: bytes=1000-": the validator named, if any
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("contentType");
    const auto row = [](const char* name, const char* target, const QString& file, bool rewritten, const char* ifRange,
                        int status, const QString& type) {
        QTest::newRow(name) << QString::fromUtf8(target) << file << rewritten << QString::fromLatin1(ifRange) << status
                            << type;
    };
    row("version file", "/version.txt", "version.txt", true, "", 200, kListText);
    row("catalogue", "/lists/catalogue.txt", "lists/catalogue.txt", true, "", 200, kListText);
    row("lecture list", "/lists/20131015.zip", "lists/20131015.zip", true, "", 200, kListText);
    row("library index", "/lists/library-index.txt", "lists/library-index.txt", true, "", 200, kListText);
    row("list with a Chinese name", "/lists/%E6%96%B0%E6%97%A5%E6%9C%9F%EF%BC%9A2013.zip",
        QStringLiteral("lists/新日期：2013.zip"), false, "", 200, kListText);
    row("home page", "/", "index.html", false, "", 200, kPage);
    row("help page", "/help.html", "help.html", false, "", 200, kPage);
    row("phone edition page", "/android.html", "android.html", false, "", 200, kPage);
    row("lecture", "/audio/20131015-1.wma", "audio/20131015-1.wma", false, "", 200, kAudio);
    row("resumed, If-Range its ETag", "/audio/20131015-1.wma", "audio/20131015-1.wma", false, "ETag", 206, kAudio);
    row("resumed, If-Range its date", "/audio/20131015-1.wma", "audio/20131015-1.wma", false, "Last-Modified", 206,
        kAudio);
    row("resumed, If-Range another ETag", "/audio/20131015-1.wma", "audio/20131015-1.wma", false, "\"other\"", 200,
        kAudio);
    row("a folder", "/audio/", "", false, "", 404, "");
    row("a folder without its slash", "/lists", "", false, "", 404, "");
    row("a missing lecture", "/audio/missing.wma", "", false, "", 404, "");
}

void NginxLibraryTest::answersCarryWhatTheClientNeeds()
{
    QFETCH(QString, target);
    QFETCH(QString, file);
    QFETCH(bool, rewritten);
    QFETCH(QString, ifRange);
    QFETCH(int, status);
    QFETCH(QString, contentType);

    httplib::Result answer = ask(nginx_->port(), target);
    QVERIFY(answer);
    if (rewritten) {
        // Longer, so that its ETag changes within the same second too.
        QVERIFY(writeWholeFile(libraryFile(file), readWholeFile(libraryFile(file)) + "\xd0\xc2\r\n"));
        const std::string firstETag = answer->get_header_value("ETag");
        answer = ask(nginx_->port(), target);
        QVERIFY(answer);
        QVERIFY(answer->get_header_value("ETag") != firstETag);
        QVERIFY2(header(*answer, "Cache-Control").contains(QLatin1String("no-cache")),
                 qPrintable(header(*answer, "Cache-Control")));
    }
    if (!ifRange.isEmpty()) {
        const std::string validator =
            ifRange.startsWith(u'"') ? ifRange.toStdString() : answer->get_header_value(ifRange.toStdString().c_str());
        answer = ask(nginx_->port(), target,
                     {{"Range", "bytes=" + std::to_string(kResumeFrom) + "-"}, {"If-Range", validator}});
        QVERIFY(answer);
    }

    QCOMPARE(answer->status, status);
    if (file.isEmpty()) {
        const QByteArray page = QByteArray::fromStdString(answer->body);
        QVERIFY2(!page.contains(".wma") && !page.contains(".zip"), page.constData());
        return;
    }
    QCOMPARE(header(*answer, "Content-Type"), contentType);
    QVERIFY2(QRegularExpression(QStringLiteral("^\"[^\"]+\"$")).match(header(*answer, "ETag")).hasMatch(),
             qPrintable(header(*answer, "ETag")));
    QCOMPARE(header(*answer, "Content-Encoding"), QString());
    const QByteArray stored = readWholeFile(libraryFile(file));
    const QByteArray body = QByteArray::fromStdString(answer->body);
    if (status == 206) {
        QCOMPARE(header(*answer, "Content-Range"),
                 QStringLiteral("bytes %1-%2/%3").arg(kResumeFrom).arg(stored.size() - 1).arg(stored.size()));
        QVERIFY(body == stored.mid(kResumeFrom));
    } else {
        QCOMPARE(header(*answer, "Accept-Ranges"), QStringLiteral("bytes"));
        QVERIFY(body == stored);
    }
}

std::unique_ptr<StartProcedure> NginxLibraryTest::startAndEnterFirstConference(MainWindowFixture& fixture)
{
    std::unique_ptr<StartProcedure> start = startAndWait(addressesForRoot(nginx_->url("/")), fixture.programFolder());
    MainWindow* window = start->window();
    if (!window)
        return nullptr;
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    if (!QTest::qWaitFor([window] { return window->viewBar().lecturesOption->isChecked(); }))
        return nullptr;
    return start;
}

void NginxLibraryTest::clientStartsEntersAConferenceAndDownloadsALecture()
{
    QVERIFY(publishFor(nginx_->url("/")));
    MainWindowFixture fixture;
    const std::unique_ptr<StartProcedure> start = startAndEnterFirstConference(fixture);
    QVERIFY(start);
    MainWindow* window = start->window();
    const QString published = QString::fromLatin1(readWholeFile(libraryFile("version.txt"))).section(u'[', 0, 0);
    QVERIFY2(window->windowTitle().endsWith(u' ' + published), qPrintable(window->windowTitle()));
    QCOMPARE(window->pageList().rows[0].title->caption(),
             QStringLiteral("急性冠脉综合征的抗血小板治疗 - 大会专题报告"));

    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    MainWindowFixture::waitWhileDownloading(*window);

    QCOMPARE(fixture.host.messages.size(), 0u);
    const QStringList stored = QDir(fixture.favouritesFolder()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(stored.size(), 1);
    QVERIFY(readWholeFile(fixture.favouritesFolder() + u'/' + stored[0]) == readWholeFile(libraryFile(kFirstLecture)));
    QTRY_COMPARE(loggedRequests(4),
                 (QStringList{"GET /version.txt 200", "GET /lists/catalogue.txt 200", "GET /lists/20140118.zip 200",
                              "GET /" + kFirstLecture + " 200"}));
}

// Through a relay that cuts the first answer off half-way, then lets the
// second pass: the second asks nginx for the rest, and gets it.
void NginxLibraryTest::brokenOffDownloadGoesOnWithARange()
{
    const QByteArray lecture = readWholeFile(libraryFile(kFirstLecture));
    CuttingRelay relay(nginx_->port(), lecture.size() / 2);
    QVERIFY(publishFor(relay.url("/")));
    MainWindowFixture fixture;
    const std::unique_ptr<StartProcedure> start = startAndEnterFirstConference(fixture);
    QVERIFY(start);
    MainWindow* window = start->window();

    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    MainWindowFixture::waitWhileDownloading(*window);
    QCOMPARE(fixture.host.messages.size(), 1u);
    QCOMPARE(fixture.host.messages[0].prompt, QStringLiteral("下载失败!"));
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    MainWindowFixture::waitWhileDownloading(*window);

    QCOMPARE(fixture.host.messages.size(), 1u);
    QCOMPARE(relay.connectionCount(), 2);
    const QStringList stored = QDir(fixture.favouritesFolder()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(stored.size(), 1);
    QVERIFY(readWholeFile(fixture.favouritesFolder() + u'/' + stored[0]) == lecture);
    QTRY_COMPARE(loggedRequests(5).size(), 5);
    std::vector<NginxServer::LoggedRequest> asked;
    for (const NginxServer::LoggedRequest& request : nginx_->accessLog()) {
        if (request.target == u'/' + kFirstLecture)
            asked.push_back(request);
    }
    QCOMPARE(asked.size(), 2u);
    const NginxServer::LoggedRequest& resumed = asked[0].range.isEmpty() ? asked[1] : asked[0];
    QCOMPARE(resumed.status, 206);
    const QRegularExpressionMatch range = QRegularExpression(QStringLiteral("^bytes=(\\d+)-$")).match(resumed.range);
    QVERIFY2(range.hasMatch(), qPrintable(resumed.range));
    const qint64 from = range.captured(1).toLongLong();
    QVERIFY2(from > 0 && from < lecture.size() && resumed.bodyBytes == lecture.size() - from,
             qPrintable(QStringLiteral("%1 %2").arg(from).arg(resumed.bodyBytes)));
    QVERIFY(!resumed.ifRange.isEmpty());
}

// What was read is kept: the next start asks only whether it changed (nginx
// answers 304, no body), and with the server gone the window opens on the
// kept catalogue, with nothing stored, and enters a conference read before.
void NginxLibraryTest::keptLibraryIsAskedForIfChangedAndBrowsedWithoutTheServer()
{
    QVERIFY(publishFor(nginx_->url("/")));
    MainWindowFixture fixture;
    const StoredAddresses addresses = addressesForRoot(nginx_->url("/"));
    const auto firstTitles = [](MainWindow& window) {
        QStringList titles;
        for (const PageRow& row : window.pageList().rows)
            titles << row.title->caption();
        return titles;
    };
    QStringList lectures;
    {
        const std::unique_ptr<StartProcedure> first = startAndEnterFirstConference(fixture);
        QVERIFY(first);
        lectures = firstTitles(*first->window());
    }
    QVERIFY(startAndEnterFirstConference(fixture));
    QTRY_COMPARE(loggedRequests(6).mid(3),
                 (QStringList{"GET /version.txt 200", "GET /lists/catalogue.txt 304", "GET /lists/20140118.zip 304"}));

    nginx_.reset();
    std::unique_ptr<StartProcedure> start = startAndWait(addresses, fixture.programFolder());
    MainWindow* window = start->window();
    QVERIFY(window && window->isOffline());
    QCOMPARE(window->offlineNotice()->text(), LibraryAvailability::kKeptLibraryMessage);
    QVERIFY(window->viewBar().catalogueOption->isChecked());
    QTest::mouseClick(window->pageList().rows[0].actionButton, Qt::LeftButton);
    QTRY_VERIFY(window->viewBar().lecturesOption->isChecked());
    QCOMPARE(firstTitles(*window), lectures);
    QCOMPARE(fixture.host.messages.size(), 0u);
}

// The publisher's last step before the client is built: the live library,
// read over HTTP as the client reads it, is fit, and the check never fetched
// a lecture's body (each one a HEAD, every request in nginx's log).
void NginxLibraryTest::publishersCheckFindsTheLibraryFit()
{
    QVERIFY(publishFor(nginx_->url("/")));
    QProcess tool;
    tool.start(QStringLiteral(KARDELO_LIBRARY_TOOL),
               {QStringLiteral("check"), QStringLiteral("--json"), nginx_->url("/")});
    QVERIFY(tool.waitForFinished(120000));
    const QJsonObject report = QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
    QVERIFY2(tool.exitCode() == 0 && report.value(u"fit").toBool(), qPrintable(QJsonDocument(report).toJson()));
    QCOMPARE(report.value(u"errors").toInt(), 0);
    QCOMPARE(report.value(u"warnings").toInt(), 0);

    const int requests = report.value(u"requests").toInt();
    QTRY_COMPARE(int(nginx_->accessLog().size()), requests);
    int audio = 0;
    for (const NginxServer::LoggedRequest& request : nginx_->accessLog()) {
        QCOMPARE(request.status, 200);
        if (request.target.endsWith(u".wma")) {
            QCOMPARE(request.method, QStringLiteral("HEAD"));
            QCOMPARE(request.bodyBytes, qint64(0));
            ++audio;
        }
    }
    // Every lecture of the sample lies on this server: one HEAD for each.
    QVERIFY(audio > 0);
    // The version file, the catalogue and the index besides the lists.
    QCOMPARE(requests, audio + 3 + int(QDir(libraryFile("lists")).entryList({"*.zip"}, QDir::Files).size()));
}

QTEST_MAIN(NginxLibraryTest)
#include "NginxLibraryTest.moc"
