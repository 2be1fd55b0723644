// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibraryCheck.h"

#include "catalogue/TextFetch.h"
#include "publishing/ExitStatus.h"
#include "support/FreePort.h"
#include "support/Gb2312.h"
#include "support/TestHttpServer.h"
#include "support/ToolTranscript.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

const QByteArray kSampleRoot = "http://127.0.0.1:18418/";

// A copy of the sample library, its audio addresses moved to a test
// server's root, changed on purpose and served by that server.
class BrokenLibrary {
public:
    explicit BrokenLibrary(const TestHttpServer& server) : root_(server.url(QStringLiteral("/")))
    {
        QDirIterator files(QStringLiteral(KARDELO_SAMPLE_LIBRARY), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString source = files.next();
            const QString path = QDir(QStringLiteral(KARDELO_SAMPLE_LIBRARY)).relativeFilePath(source);
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll();
            if (path.startsWith(u"lists/"))
                bytes.replace(kSampleRoot, root_.toUtf8());
            write(path, bytes);
        }
    }

    QString folder() const { return folder_.path(); }
    const QString& root() const { return root_; }

    void write(const QString& path, const QByteArray& bytes)
    {
        QDir(folder()).mkpath(QFileInfo(path).path());
        QFile file(QDir(folder()).filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray read(const QString& path) const
    {
        QFile file(QDir(folder()).filePath(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void remove(const QString& path) { QVERIFY(QFile::remove(QDir(folder()).filePath(path))); }
    // Changes a text's lines (CR LF apart, index 0 the first line), written back in GB2312.
    void editLines(const QString& path, const std::function<void(QStringList&)>& edit)
    {
        QStringList lines = bytesToText(read(path), QStringLiteral("GB2312")).split(QStringLiteral("\r\n"));
        edit(lines);
        write(path, toGb2312(lines.join(QStringLiteral("\r\n"))));
    }

    // How the server sends an audio file, unless a row says otherwise.
    static TestHttpServer::StaticFile audioFile()
    {
        return {"audio/x-ms-wma", {{"Accept-Ranges", "bytes"}, {"ETag", "\"sample\""}}, false, 200};
    }
    QMap<QString, TestHttpServer::StaticFile> serving;

    void serveOn(TestHttpServer& server) const
    {
        QDirIterator files(folder(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = QDir(folder()).relativeFilePath(files.next());
            TestHttpServer::StaticFile file = path.startsWith(u"audio/")
                ? audioFile()
                : TestHttpServer::StaticFile{"text/plain", {{"ETag", "\"text\""}}, false, 200};
            file = serving.value(path, file);
            server.serveFile((u'/' + path).toStdString(), read(path), file);
        }
    }

private:
    QTemporaryDir folder_;
    QString root_;
};

using Fault = std::function<void(BrokenLibrary&)>;

enum Reading { FromFolder = 1, OverHttp = 2, BothWays = 3 };

CheckReport check(BrokenLibrary& library, TestHttpServer& server, Reading reading)
{
    library.serveOn(server);
    LibraryCheck::Options options;
    if (reading == OverHttp) {
        options.library = library.root();
    } else {
        options.library = library.folder();
        options.servedAt = library.root();
    }
    return LibraryCheck(options).run();
}

QString described(const QList<LibraryFinding>& findings)
{
    QStringList lines;
    for (const LibraryFinding& finding : findings)
        lines.append(
            QStringLiteral("%1 %2:%3 %4").arg(finding.kind, finding.location).arg(finding.line).arg(finding.message));
    return lines.join(u'\n');
}

QString lecture(const QString& title, const QString& address)
{
    return title + QStringLiteral("%讲者$备注*") + address;
}

}  // namespace

Q_DECLARE_METATYPE(Fault)

class LibraryCheckTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheFault_data();
    void findsTheFault();
    void sampleLibraryIsClean_data();
    void sampleLibraryIsClean();
    void cannotCheck_data();
    void cannotCheck();

private:
    ToolTranscript transcript_{QStringLiteral(KARDELO_LIBRARY_TOOL),
                               QStringLiteral(KARDELO_TRANSCRIPTS "/LibraryCheckTest.txt")};
};

void LibraryCheckTest::findsTheFault_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("readings");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("line");

    const QString catalogue = QStringLiteral("lists/catalogue.txt");
    const QString list = QStringLiteral("lists/20140105.zip");
    const auto editList = [list](std::function<void(QStringList&)> edit) {
        return Fault([list, edit](BrokenLibrary& library) { library.editLines(list, edit); });
    };
    const auto serveAudio = [](TestHttpServer::StaticFile file) {
        return Fault(
            [file](BrokenLibrary& library) { library.serving[QStringLiteral("audio/20140105-3.wma")] = file; });
    };
    const auto version = [](const char* text) {
        return Fault([text](BrokenLibrary& library) { library.write(QStringLiteral("version.txt"), text); });
    };

    QTest::newRow("version file missing")
        << Fault([](BrokenLibrary& l) { l.remove(QStringLiteral("version.txt")); }) << int(BothWays) << "missing-file"
        << "version.txt" << 0;
    QTest::newRow("no version marker") << version("20140202\r\n") << int(BothWays) << "version-marker-missing"
                                       << "version.txt" << 0;
    QTest::newRow("marker in other letters")
        << version("20140202[qorversion]\r\n") << int(BothWays) << "version-marker-missing"
        << "version.txt" << 0;
    QTest::newRow("version not a number")
        << version("V20140202[QorVersion]\r\n") << int(BothWays) << "version-unreadable"
        << "version.txt" << 1;
    QTest::newRow("version older than the release")
        << version("20000101[QorVersion]\r\n") << int(BothWays) << "version-older"
        << "version.txt" << 1;
    QTest::newRow("catalogue missing") << Fault([catalogue](BrokenLibrary& l) { l.remove(catalogue); }) << int(BothWays)
                                       << "missing-file" << catalogue << 0;
    QTest::newRow("catalogue of headings only")
        << Fault([catalogue](BrokenLibrary& l) { l.write(catalogue, toGb2312(QStringLiteral("目录\r\n\r\n"))); })
        << int(BothWays) << "empty-catalogue" << catalogue << 0;
    QTest::newRow("conference line without %")
        << Fault([catalogue](BrokenLibrary& l) { l.editLines(catalogue, [](QStringList& s) { s[3].remove(u'%'); }); })
        << int(BothWays) << "dropped-line" << catalogue << 4;
    QTest::newRow("conference date unreadable") << Fault([catalogue](BrokenLibrary& l) {
        l.editLines(catalogue, [](QStringList& s) { s[4] = QStringLiteral("会议*甲%20131208"); });
    }) << int(BothWays) << "broken-fields" << catalogue
                                                << 5;
    QTest::newRow("lecture list missing")
        << Fault([](BrokenLibrary& l) { l.remove(QStringLiteral("lists/20131208.zip")); }) << int(BothWays)
        << "missing-lecture-list" << catalogue << 5;
    QTest::newRow("lecture list without lectures") << Fault([](BrokenLibrary& l) {
        l.write(QStringLiteral("lists/20131208.zip"), toGb2312(QStringLiteral("讲座\r\n")));
    }) << int(BothWays) << "empty-lecture-list"
                                                   << "lists/20131208.zip" << 0;
    QTest::newRow("lecture line without *")
        << editList([](QStringList& s) { s[3].replace(u'*', u' '); }) << int(BothWays) << "dropped-line" << list << 4;
    QTest::newRow("line too long") << editList([](QStringList& s) { s[4].prepend(QString(5000, u'讲')); })
                                   << int(BothWays) << "line-too-long" << list << 5;
    QTest::newRow("last line without CR LF")
        << Fault([list](BrokenLibrary& l) { l.write(list, l.read(list).chopped(2)); }) << int(BothWays)
        << "unterminated-last-line" << list << 7;
    QTest::newRow("line ending in LF alone")
        << Fault([list](BrokenLibrary& l) { l.write(list, l.read(list).replace("wma\r\n", "wma\n")); }) << int(BothWays)
        << "missing-crlf" << list << 3;
    QTest::newRow("lecture line without $")
        << editList([](QStringList& s) { s[5].remove(u'$'); }) << int(BothWays) << "broken-fields" << list << 6;
    QTest::newRow("same stored name twice")
        << editList([](QStringList& s) { s[4] = s[3].left(s[3].indexOf(u'*')) + s[4].mid(s[4].indexOf(u'*')); })
        << int(BothWays) << "duplicate-name" << list << 5;
    QTest::newRow("same stored name, quoting %3") << editList([](QStringList& s) {
        s[3] = QStringLiteral("讲座%3D 打印$备注*http://127.0.0.1/a.wma");
        s[4] = QStringLiteral("讲座%3D 打印$备注*http://127.0.0.1/b.wma");
    }) << int(BothWays) << "duplicate-name" << list
                                                  << 5;
    QTest::newRow("stored name too long") << editList([](QStringList& s) { s[5].prepend(QString(90, u'讲')); })
                                          << int(BothWays) << "name-too-long" << list << 6;
    QTest::newRow("stored name with a slash") << editList([](QStringList& s) { s[6].prepend(QStringLiteral("a/")); })
                                              << int(BothWays) << "unstorable-name" << list << 7;
    QTest::newRow("list in UTF-8") << Fault(
        [list](BrokenLibrary& l) { l.write(list, bytesToText(l.read(list), QStringLiteral("GB2312")).toUtf8()); })
                                   << int(BothWays) << "not-gb2312" << list << 1;
    QTest::newRow("bytes no GB2312 has") << Fault(
        [list](BrokenLibrary& l) { l.write(list, l.read(list).replace("%", "\xff\x81 %")); })
                                         << int(BothWays) << "not-gb2312" << list << 3;
    const QString index = QStringLiteral("lists/library-index.txt");
    QTest::newRow("index missing") << Fault([index](BrokenLibrary& l) { l.remove(index); }) << int(BothWays)
                                   << "index-missing" << index << 0;
    QTest::newRow("index cut short at a line's end") << Fault([index](BrokenLibrary& l) {
        const QByteArray whole = l.read(index);
        l.write(index, whole.first(whole.indexOf("\r\nL", whole.size() / 2) + 2));
    }) << int(BothWays) << "index-unreadable" << index
                                                     << 0;
    QTest::newRow("index lacks a lecture") << Fault([index](BrokenLibrary& l) {
        l.editLines(index, [](QStringList& s) {
            s.removeAt(s.indexOf(QRegularExpression(QStringLiteral("L\t.*/20140105-3\\.wma"))));
            s[s.size() - 2] = QStringLiteral("E\t15\t82");
        });
    }) << int(BothWays) << "index-disagrees"
                                           << index << 0;
    QTest::newRow("audio missing") << Fault([](BrokenLibrary& l) { l.remove(QStringLiteral("audio/20140105-3.wma")); })
                                   << int(BothWays) << "audio-missing" << list << 5;
    QTest::newRow("audio is an HTML page") << Fault([](BrokenLibrary& l) {
        l.write(QStringLiteral("audio/20140105-3.wma"), "<!DOCTYPE html><html><body>gone</body></html>");
        // A server that refuses HEAD and answers a range with the whole page.
        l.serving[QStringLiteral("audio/20140105-3.wma")] = {"application/octet-stream", {}, true, 200};
    }) << int(BothWays) << "audio-is-html" << list
                                           << 5;
    QTest::newRow("audio served as text/html") << serveAudio({"text/html", {{"Accept-Ranges", "bytes"}}, false, 200})
                                               << int(OverHttp) << "audio-is-html" << list << 5;
    QTest::newRow("audio answers an error")
        << serveAudio({"audio/x-ms-wma", {}, false, 500}) << int(OverHttp) << "audio-http-error" << list << 5;
    QTest::newRow("audio does not answer") << editList([](QStringList& s) {
        s[4] = lecture(QStringLiteral("无应答"),
                       QStringLiteral("http://127.0.0.1:%1/audio/x.wma").arg(unusedLoopbackPort()));
    }) << int(OverHttp) << "audio-unreachable"
                                           << list << 5;
    QTest::newRow("audio without byte ranges")
        << serveAudio({"audio/x-ms-wma", {{"Accept-Ranges", "none"}, {"ETag", "\"a\""}}, false, 200}) << int(OverHttp)
        << "no-resume-ranges" << list << 5;
    QTest::newRow("audio with a weak ETag only")
        << serveAudio({"audio/x-ms-wma", {{"Accept-Ranges", "bytes"}, {"ETag", "W/\"a\""}}, false, 200})
        << int(OverHttp) << "no-resume-validator" << list << 5;
    QTest::newRow("HEAD refused, the first byte resumable")
        << serveAudio({"audio/x-ms-wma", {{"Accept-Ranges", "bytes"}}, true, 200}) << int(OverHttp)
        << "no-resume-validator" << list << 5;
}

void LibraryCheckTest::findsTheFault()
{
    QFETCH(Fault, fault);
    QFETCH(int, readings);
    QFETCH(QString, kind);
    QFETCH(QString, location);
    QFETCH(int, line);

    for (const Reading reading : {FromFolder, OverHttp}) {
        if (!(readings & reading))
            continue;
        TestHttpServer server;
        BrokenLibrary library(server);
        fault(library);
        const CheckReport report = check(library, server, reading);
        const auto found = std::find_if(report.findings.begin(), report.findings.end(), [&](const LibraryFinding& f) {
            return f.kind == kind && f.location == location && f.line == line;
        });
        QVERIFY2(
            found != report.findings.end(),
            qPrintable(QStringLiteral("%1: not found among\n%2")
                           .arg(reading == OverHttp ? u"over HTTP" : u"from the folder", described(report.findings))));
        QVERIFY(!found->message.isEmpty());
        QCOMPARE(report.fit(), !found->isError());
        // The tool's report, in both languages, once for each fault.
        if (reading == FromFolder || readings == OverHttp)
            transcript_.expect(QString::fromUtf8(QTest::currentDataTag()),
                               reading == OverHttp ? QStringList{QStringLiteral("check"), library.root()}
                                                   : QStringList{QStringLiteral("check"), QStringLiteral("--root"),
                                                                 library.root(), library.folder()},
                               {{library.root(), "ROOT/"}, {library.folder(), "LIBRARY"}});
    }
}

void LibraryCheckTest::sampleLibraryIsClean_data()
{
    QTest::addColumn<int>("reading");
    QTest::newRow("from the folder") << int(FromFolder);
    QTest::newRow("over HTTP") << int(OverHttp);
}

void LibraryCheckTest::sampleLibraryIsClean()
{
    QFETCH(int, reading);
    TestHttpServer server;
    BrokenLibrary library(server);
    const CheckReport report = check(library, server, Reading(reading));
    QVERIFY2(report.findings.isEmpty(), qPrintable(described(report.findings)));
    QVERIFY(report.fit());
    if (reading == FromFolder) {
        QCOMPARE(report.requests, 0);
        return;
    }
    // The version file, the catalogue, 15 lecture lists, the index and the
    // head of each of 83 audio files, each once; never an audio body.
    QCOMPARE(report.requests, 3 + 15 + 83);
    QCOMPARE(int(server.requests().size()), report.requests);
    QSet<std::string> asked;
    for (const TestHttpServer::Request& request : server.requests()) {
        QVERIFY2(!asked.contains(request.path), request.path.c_str());
        asked.insert(request.path);
        if (request.path.rfind("/audio/", 0) == 0)
            QCOMPARE(request.method, std::string("HEAD"));
        QCOMPARE(request.header("If-Modified-Since"), std::string("0"));
    }
}

void LibraryCheckTest::cannotCheck_data()
{
    QTest::addColumn<QString>("library");
    const QString unreachable = QStringLiteral("http://127.0.0.1:%1/").arg(unusedLoopbackPort());
    QTest::newRow("missing folder") << QDir::temp().filePath(QStringLiteral("kardelo-no-such-library"));
    QTest::newRow("unreachable root") << unreachable;
}

void LibraryCheckTest::cannotCheck()
{
    QFETCH(QString, library);
    QProcess tool;
    tool.start(QStringLiteral(KARDELO_LIBRARY_TOOL), {QStringLiteral("check"), library});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), int(kExitCannotRun));
    QVERIFY2(QString::fromUtf8(tool.readAllStandardError()).contains(library), qPrintable(library));
}

QTEST_GUILESS_MAIN(LibraryCheckTest)
#include "LibraryCheckTest.moc"
