// SPDX-License-Identifier: GPL-3.0-or-later

#include "publishing/LibraryBuild.h"

#include "KardeloVersion.h"
#include "catalogue/RowCaptions.h"
#include "format/CatalogueLines.h"
#include "format/LibraryIndex.h"
#include "format/RecordFields.h"
#include "format/TextCodec.h"
#include "info/VersionCheck.h"
#include "publishing/BuildCommand.h"
#include "publishing/ExitStatus.h"
#include "support/FileBytes.h"
#include "support/ToolTranscript.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kRoot = QStringLiteral("http://library.example.org/");

const QByteArray kVersion = "20140202[QorVersion]\n";
// Lines 1 to 4; a line added to either text is its line 5.
const QByteArray kCatalogue = "目录\n\n会议甲%20140118*共两讲\n会议乙%2013*\n";
const QByteArray kLectures = "讲座列表\n\n"
                             "讲座一%张三 教授$专题报告*{root}audio/1.wma\n"
                             "讲座二%李四 教授$专题报告*{root}audio/2.wma\n";
const QByteArray kLectures2013 = "讲座三%王五$报告*https://elsewhere.example.org/3.wma\n";

void writeGoodSource(const QString& folder)
{
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/lectures")));
    QVERIFY(writeWholeFile(folder + QStringLiteral("/version.txt"), kVersion));
    QVERIFY(writeWholeFile(folder + QStringLiteral("/catalogue.txt"), kCatalogue));
    QVERIFY(writeWholeFile(folder + QStringLiteral("/lectures/20140118.txt"), kLectures));
    QVERIFY(writeWholeFile(folder + QStringLiteral("/lectures/2013.txt"), kLectures2013));
}

// Every file below folder with its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readWholeFile(path));
    }
    return files;
}

// A library folder as a publisher keeps it: an earlier build, a page, a
// list that is no longer built.
void writeEarlierLibrary(const QString& source, const QString& out)
{
    QCOMPARE(runBuildCommand({QStringLiteral("--root"), kRoot, source, out}), kExitFit);
    QVERIFY(writeWholeFile(out + QStringLiteral("/index.html"), "<html></html>"));
    QVERIFY(writeWholeFile(out + QStringLiteral("/lists/19990101.zip"), "old"));
}

QStringList clientLines(const QString& path)
{
    QStringList lines;
    splitAndKeep(decodeCharset(readWholeFile(path), QStringLiteral("GB2312")).value_or(QString()), lines);
    return lines;
}

}  // namespace

class LibraryBuildTest : public QObject {
    Q_OBJECT

private slots:
    void refusesWhatTheClientCannotReadBack_data();
    void refusesWhatTheClientCannotReadBack();
    void clientReadsTheBuiltLibrary();
    void toolAnswersItsCommandLine_data();
    void toolAnswersItsCommandLine();

private:
    ToolTranscript transcript_{QStringLiteral(KARDELO_LIBRARY_TOOL),
                               QStringLiteral(KARDELO_TRANSCRIPTS "/LibraryBuildTest.txt")};
};

void LibraryBuildTest::refusesWhatTheClientCannotReadBack_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("root");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("inMessage");

    const QString lectures = QStringLiteral("lectures/20140118.txt");
    const QString catalogue = QStringLiteral("catalogue.txt");
    const auto lecture = [](const QByteArray& line) { return kLectures + line + '\n'; };
    const auto conference = [](const QByteArray& line) { return kCatalogue + line + '\n'; };
    // "镕" has a code in code page 936 only, not in GB2312 itself.
    QTest::newRow("outside GB2312") << lectures << lecture("讲座镕%张三$报告*{root}5.wma") << kRoot << 5 << "not-gb2312"
                                    << "U+9555";
    QTest::newRow("second % in Detail") << lectures << lecture("讲座%张三%李四$报告*{root}5.wma") << kRoot << 5
                                        << "marker-in-field"
                                        << "张三%李四";
    QTest::newRow("second $ in Note") << lectures << lecture("讲座%张三$报告$二*{root}5.wma") << kRoot << 5
                                      << "marker-in-field"
                                      << "报告$二";
    QTest::newRow("second % in UpdateDate")
        << catalogue << conference("会议丙%2099%0101*") << kRoot << 5 << "marker-in-field"
        << "2099%0101";
    QTest::newRow("lecture * before %") << lectures << lecture("讲座*{root}5.wma%张三$报告") << kRoot << 5
                                        << "marker-order"
                                        << "";
    QTest::newRow("conference * before %")
        << catalogue << conference("会议丙*20990101%") << kRoot << 5 << "marker-order"
        << "";
    QTest::newRow("no $") << lectures << lecture("讲座%张三*{root}5.wma") << kRoot << 5 << "marker-order"
                          << "";
    QTest::newRow("file name character") << lectures << lecture("讲座/上%张三$报告*{root}5.wma") << kRoot << 5
                                         << "name-character"
                                         << "/";
    QTest::newRow("dot cuts the stored name")
        << lectures << lecture("讲座%张三$v1.2*{root}5.wma") << kRoot << 5 << "name-character"
        << ".";
    QTest::newRow("list name character") << catalogue << conference("会议丙%2099/01*") << kRoot << 5 << "name-character"
                                         << "/";
    QTest::newRow("zip in stored name") << lectures << lecture("gzip讲座%张三$报告*{root}5.wma") << kRoot << 5
                                        << "zip-in-name"
                                        << "";
    QTest::newRow("empty UpdateDate") << catalogue << conference("会议丙%*") << kRoot << 5 << "empty-update-date"
                                      << "";
    // The client keeps the last 12 characters of "更新日期：新20140118.zip".
    QTest::newRow("same list file") << catalogue << conference("会议丙%新20140118*") << kRoot << 5 << "duplicate-list"
                                    << "line 3";
    QTest::newRow("missing lectures file")
        << catalogue << conference("会议丙%20990101*") << kRoot << 5 << "missing-lectures"
        << "lectures/20990101.txt";
    QTest::newRow("relative address") << lectures << lecture("讲座%张三$报告*audio/5.wma") << kRoot << 5
                                      << "address-not-absolute"
                                      << "";
    QTest::newRow("ftp address") << lectures << lecture("讲座%张三$报告*ftp://example.org/5.wma") << kRoot << 5
                                 << "address-not-absolute"
                                 << "";
    QTest::newRow("line too long") << lectures << lecture("讲座%张三$报告*{root}" + QByteArray(4100, 'a')) << kRoot << 5
                                   << "line-too-long"
                                   << "4096";
    QTest::newRow("stored name too long")
        << lectures << lecture(QString(79, u'讲').toUtf8() + "a%张三$报告*{root}5") << kRoot << 5 << "name-too-long"
        << "256 bytes";
    QTest::newRow("same stored name") << lectures << lecture("讲座一%张三 教授$专题报告*{root}audio/9.wma") << kRoot
                                      << 5 << "duplicate-name"
                                      << "line 3";
    QTest::newRow("no version marker") << QStringLiteral("version.txt") << QByteArray("20140202[qorversion]\n") << kRoot
                                       << 0 << "no-version-marker"
                                       << "";
    QTest::newRow("carriage return") << catalogue << conference("会议丙%20990101*\r") << kRoot << 5 << "carriage-return"
                                     << "";
    QTest::newRow("not UTF-8") << catalogue << conference("会议丙\xff%20990101*") << kRoot << 5 << "not-utf8"
                               << "";
    QTest::newRow("{root} without --root") << lectures << kLectures << QString() << 3 << "no-root"
                                           << "";
}

void LibraryBuildTest::refusesWhatTheClientCannotReadBack()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, text);
    QFETCH(QString, root);
    QFETCH(int, line);
    QFETCH(QString, kind);
    QFETCH(QString, inMessage);
    QTemporaryDir scratch;
    const QString source = scratch.filePath(QStringLiteral("source"));
    const QString out = scratch.filePath(QStringLiteral("out"));
    writeGoodSource(source);
    writeEarlierLibrary(source, out);
    const QMap<QString, QByteArray> before = snapshot(out);
    QVERIFY(writeWholeFile(source + u'/' + file, text));

    LibraryBuild build(source, root);
    build.run();
    QVERIFY(build.refused());
    const LibraryFinding& first = build.findings().constFirst();
    QCOMPARE(first.location, file);
    QCOMPARE(first.line, line);
    QCOMPARE(first.kind, kind);
    QVERIFY2(first.message.contains(inMessage), qPrintable(first.message));
    // One fault, one finding: "{root}" without a root is told on each line using it.
    if (kind != u"no-root")
        QCOMPARE(build.findings().size(), 1);

    QStringList arguments{QStringLiteral("build"), source, out};
    if (!root.isEmpty())
        arguments += {QStringLiteral("--root"), root};
    transcript_.expect(QString::fromUtf8(QTest::currentDataTag()), arguments, {{scratch.path(), "SCRATCH"}});
    QCOMPARE(snapshot(out), before);
}

void LibraryBuildTest::clientReadsTheBuiltLibrary()
{
    QTemporaryDir scratch;
    const QString source = scratch.filePath(QStringLiteral("source"));
    const QString out = scratch.filePath(QStringLiteral("out"));
    writeGoodSource(source);
    writeEarlierLibrary(source, out);
    // Warned of, not refused: a line the client drops, a list no conference uses.
    QVERIFY(writeWholeFile(source + QStringLiteral("/catalogue.txt"), kCatalogue + "注：下列会议 100% 免费\n"));
    QVERIFY(writeWholeFile(source + QStringLiteral("/lectures/20990101.txt"), kLectures2013));
    LibraryBuild build(source, kRoot);
    build.run();
    QVERIFY(!build.refused());
    QStringList warnings;
    for (const LibraryFinding& finding : build.findings())
        warnings.append(QStringLiteral("%1:%2 %3").arg(finding.location).arg(finding.line).arg(finding.kind));
    QCOMPARE(warnings, (QStringList{"catalogue.txt:5 half-marked", "lectures/20990101.txt:0 unused-lectures"}));
    QCOMPARE(runBuildCommand({QStringLiteral("--root"), kRoot, source, out}), kExitFit);

    const QString version = decodeCharset(readWholeFile(out + QStringLiteral("/version.txt")), QStringLiteral("GB2312"))
                                .value_or(QString());
    QCOMPARE(publishedVersionText(version), QStringLiteral("20140202"));
    const QByteArray catalogueBytes = readWholeFile(out + QStringLiteral("/lists/catalogue.txt"));
    QCOMPARE(catalogueBytes.count("\r\n"), 5);
    QVERIFY(catalogueBytes.endsWith("\r\n"));

    QStringList addresses;
    LibraryIndex listed;
    for (const QString& conference : clientLines(out + QStringLiteral("/lists/catalogue.txt"))) {
        const QString dateCaption = kUpdateDatePrefix + conferenceUpdateDate(conference).value_or(QString());
        listed.conferences.append(
            {conference, clientLines(out + QStringLiteral("/lists/") + lectureListFileName(dateCaption))});
        for (const QString& lecture : std::as_const(listed.conferences.last().lectureLines))
            addresses.append(lectureSavedName(lecture).value_or(QString()) + u' '
                             + lectureDownloadAddress(lecture).value_or(QString()));
    }
    QCOMPARE(addresses,
             (QStringList{"讲座一%张三 教授$专题报告 http://library.example.org/audio/1.wma",
                          "讲座二%李四 教授$专题报告 http://library.example.org/audio/2.wma",
                          "讲座三%王五$报告 https://elsewhere.example.org/3.wma"}));
    // The index says all the catalogue and the lists say, in their order.
    const LibraryIndexReading index = parseLibraryIndex(
        decodeCharset(readWholeFile(out + u'/' + kLibraryIndexPath), kServerCharset).value_or(QString()));
    QVERIFY2(index.ok(), qPrintable(index.error));
    QVERIFY(index.index == listed);
    QCOMPARE(listed.conferences.size(), 2);
    // The page stays; the list no conference names any more goes.
    QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"index.html", "lists", "version.txt"}));
    QCOMPARE(QDir(out + QStringLiteral("/lists")).entryList(QDir::Files),
             (QStringList{"20140118.zip", "catalogue.txt", "library-index.txt", "新日期：2013.zip"}));
}

void LibraryBuildTest::toolAnswersItsCommandLine_data()
{
    // SOURCE is a good source, OUT an earlier build of it, SCRATCH their
    // folder, SAMPLE the sample library.
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("--help") << QStringList{"--help"};
    QTest::newRow("help") << QStringList{"help"};
    QTest::newRow("--version") << QStringList{"--version"};
    QTest::newRow("unknown command") << QStringList{"publish", "SOURCE"};
    QTest::newRow("build --help") << QStringList{"build", "SOURCE", "-h"};
    QTest::newRow("build") << QStringList{"build", "--root", kRoot, "SOURCE", "OUT"};
    QTest::newRow("build, --root=") << QStringList{"build", "SOURCE", "OUT", "--root=" + kRoot};
    QTest::newRow("build, unknown option") << QStringList{"build", "--bogus", "SOURCE", "OUT"};
    QTest::newRow("build, unknown short option") << QStringList{"build", "-x", "SOURCE", "OUT"};
    QTest::newRow("build, --root without its URL") << QStringList{"build", "SOURCE", "OUT", "--root"};
    QTest::newRow("build, one folder") << QStringList{"build", "SOURCE"};
    QTest::newRow("build, --root without /")
        << QStringList{"build", "--root", "http://example.org/no-slash", "SOURCE", "OUT"};
    QTest::newRow("build, no source") << QStringList{"build", "SCRATCH/nothing", "OUT"};
    QTest::newRow("build, out a file") << QStringList{"build", "SOURCE", "SCRATCH/a-file"};
    QTest::newRow("check --help") << QStringList{"check", "--help"};
    QTest::newRow("check") << QStringList{"check", "--jobs", "2", "SAMPLE"};
    QTest::newRow("check --json") << QStringList{"check", "--json", "--root", "http://127.0.0.1:18418/", "SAMPLE"};
    QTest::newRow("check, no library") << QStringList{"check"};
    QTest::newRow("check, unknown option") << QStringList{"check", "--bogus", "SAMPLE"};
    QTest::newRow("check, --jobs without N") << QStringList{"check", "SAMPLE", "--jobs"};
    QTest::newRow("check, --jobs 0") << QStringList{"check", "--jobs", "0", "SAMPLE"};
    QTest::newRow("check, --jobs x") << QStringList{"check", "--jobs", "x", "SAMPLE"};
    QTest::newRow("check, address without /") << QStringList{"check", "http://127.0.0.1:9/library"};
    QTest::newRow("check, --root with an address")
        << QStringList{"check", "--root", kRoot, "http://127.0.0.1:9/library/"};
    QTest::newRow("check, no such folder") << QStringList{"check", "SCRATCH/nothing"};
}

void LibraryBuildTest::toolAnswersItsCommandLine()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir scratch;
    const QString source = scratch.filePath(QStringLiteral("source"));
    const QString out = scratch.filePath(QStringLiteral("out"));
    writeGoodSource(source);
    writeEarlierLibrary(source, out);
    QVERIFY(writeWholeFile(scratch.filePath(QStringLiteral("a-file")), "x"));
    const QString sample = QStringLiteral(KARDELO_SAMPLE_LIBRARY);
    const ToolTranscript::StandIns folders{
        {scratch.path(), "SCRATCH"}, {source, "SOURCE"}, {out, "OUT"}, {sample, "SAMPLE"}};
    for (QString& argument : arguments) {
        for (const auto& [folder, name] : folders) {
            if (argument.startsWith(name))
                argument.replace(0, name.size(), folder);
        }
    }
    ToolTranscript::StandIns standIns{{scratch.path(), "SCRATCH"}, {sample, "SAMPLE"}};
    if (arguments.contains(u"--version"))
        standIns.append({kDisplayVersion, "VERSION"});
    transcript_.expect(QString::fromUtf8(QTest::currentDataTag()), arguments, standIns);
}

QTEST_GUILESS_MAIN(LibraryBuildTest)
#include "LibraryBuildTest.moc"
