// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/RawAnswerServer.h"

#include <QDir>
#include <QtTest>

using Answer = RawAnswerServer::Answer;
Q_DECLARE_METATYPE(Answer)

namespace {

const QString kStored = QStringLiteral("冠心病%张医生$四十分钟.zip");
const QString kNetworkFailed = QStringLiteral("网络暂时无法链接，请稍后再试！");
const QString kDownloadFailed = QStringLiteral("下载失败!");
// The lecture's body where it comes whole: 1000 bytes.
const std::string kBodyPiece = "0123456789";
constexpr std::int64_t kBodyPieces = 100;

enum class Asked { LectureList, Lecture };

}  // namespace

Q_DECLARE_METATYPE(Asked)

// A server that answers beyond all reason, on a lecture list and on a
// lecture: every answer ends in the message that step always shows for a
// failure, or in what a sound answer would give, soon and without the
// memory running away; never in a crash, a hang or a spliced file.
class HostileServerTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hostileAnswers_data();
    void hostileAnswers();

private:
    void press(int row)
    {
        QTest::mouseClick(fixture_->window().pageList().rows[row].actionButton, Qt::LeftButton);
        fixture_->waitWhileDownloading();
    }
    QString messages() const;

    std::unique_ptr<MainWindowFixture> fixture_;
    std::unique_ptr<RawAnswerServer> raw_;
};

void HostileServerTest::init()
{
    fixture_ = std::make_unique<MainWindowFixture>();
    fixture_->serveCatalogue({QStringLiteral("第一届心血管会议%20131015*")});
    QVERIFY(fixture_->load());
    raw_ = std::make_unique<RawAnswerServer>();
}

void HostileServerTest::cleanup()
{
    raw_.reset();
    fixture_.reset();
}

QString HostileServerTest::messages() const
{
    QStringList prompts;
    for (const RecordingHost::Message& m : fixture_->host.messages)
        prompts << m.prompt;
    return prompts.join(u';');
}

void HostileServerTest::hostileAnswers_data()
{
    QTest::addColumn<Asked>("asked");
    QTest::addColumn<Answer>("answer");
    // The lecture list: its lecture count, or the message shown. The
    // lecture: "stored" (intact), or the message shown with nothing stored.
    QTest::addColumn<QString>("outcome");

    const std::string line = toGb2312(QStringLiteral("冠心病%张医生$四十分钟*http://127.0.0.1:9/a\r\n")).toStdString();
    // 100 MB of "讲" in GB2312.
    const RawAnswerServer::Piece hundredMegabytes{std::string(1 << 20, '\0'), 100};
    RawAnswerServer::Piece longRun = hundredMegabytes;
    for (std::size_t i = 0; i < longRun.bytes.size(); i += 2)
        longRun.bytes.replace(i, 2, "\xbd\xb2");
    const auto head = [](const std::string& lines) {
        return RawAnswerServer::Piece{"HTTP/1.1 200 OK\r\nConnection: close\r\n" + lines};
    };
    const RawAnswerServer::Piece end{"\r\n"};
    const RawAnswerServer::Piece megabyteLine{std::string(1 << 10, 'a'), 2 << 10};
    const RawAnswerServer::Piece tenThousandHeaders{"X-Many: 0123456789\r\n", 10 * 1000};
    const RawAnswerServer::Piece hundredThousandHeaders{"X-Many: 0123456789\r\n", 100 * 1000};
    const RawAnswerServer::Piece body{kBodyPiece, kBodyPieces};
    const std::string bodyLength = "Content-Length: 1000\r\n";
    const auto list = [&](const char* name, Answer answer, const QString& outcome) {
        QTest::newRow(name) << Asked::LectureList << answer << outcome;
    };
    const auto lecture = [&](const char* name, Answer answer, const QString& outcome) {
        QTest::newRow(name) << Asked::Lecture << answer << outcome;
    };
    const std::string listLength = "Content-Length: " + std::to_string(line.size()) + "\r\n";
    const RawAnswerServer::Piece oneLine{line};

    list("list: a header line of 2 MB", {head(listLength + "X-Long: "), megabyteLine, end, end, oneLine},
         kNetworkFailed);
    list("list: 10,000 headers", {head(listLength), tenThousandHeaders, end, oneLine}, "1 lectures");
    list("list: 100,000 headers", {head(listLength), hundredThousandHeaders, end, oneLine}, kNetworkFailed);
    list("list: a million lines",
         {head("Content-Length: " + std::to_string(line.size() * 1000000) + "\r\n"), end, {line, 1000000}},
         "1000000 lectures");
    list("list: one line of 100 MB without an end",
         {head("Content-Length: " + std::to_string(100 << 20) + "\r\n"), end, longRun}, kNetworkFailed);
    const std::string longRecordTail =
        toGb2312(QStringLiteral("%张医生$四十分钟*http://127.0.0.1:9/b\r\n")).toStdString();
    list("list: a record of 100 MB between two",
         {head("Content-Length: " + std::to_string((100 << 20) + 2 * line.size() + longRecordTail.size()) + "\r\n"),
          end,
          oneLine,
          longRun,
          {longRecordTail},
          oneLine},
         "2 lectures");

    lecture("lecture: a header line of 2 MB", {head(bodyLength + "X-Long: "), megabyteLine, end, end, body},
            kDownloadFailed);
    lecture("lecture: 10,000 headers", {head(bodyLength), tenThousandHeaders, end, body}, "stored");
    lecture("lecture: 100,000 headers", {head(bodyLength), hundredThousandHeaders, end, body}, kDownloadFailed);
    lecture("lecture: Content-Length 2^63 - 1",
            {head("Content-Length: 9223372036854775807\r\nETag: \"v1\"\r\n\r\n"), body}, kDownloadFailed);
    lecture("lecture: Content-Length past 2^63",
            {head("Content-Length: 9223372036854775808\r\nETag: \"v1\"\r\n\r\n"), body}, kDownloadFailed);
    lecture("lecture: Content-Length -1", {head("Content-Length: -1\r\n\r\n"), body}, kDownloadFailed);
    const auto partial = [](const std::string& length, const std::string& range) {
        return RawAnswerServer::Piece{
            "HTTP/1.1 206 Partial Content\r\nConnection: close\r\nETag: \"v1\"\r\nContent-Length: " + length
            + "\r\nContent-Range: " + range + "\r\n\r\n"};
    };
    lecture("lecture: a range of all of 2^63 - 1 bytes",
            {partial("9223372036854775807", "bytes 0-9223372036854775806/9223372036854775807"), body}, kDownloadFailed);
    lecture("lecture: a range that ends before it starts", {partial("1000", "bytes 5-3/2"), body}, kDownloadFailed);
    lecture("lecture: a range past 2^63", {partial("1000", "bytes 0-99999999999999999999/100000000000000000000"), body},
            kDownloadFailed);
    lecture("lecture: a range of the whole file", {partial("1000", "bytes 0-999/1000"), body}, "stored");
    // A server that never stops sending: bytes only the largest file a
    // lecture can be (2 GiB) or the length the answer gave bound.
    const RawAnswerServer::Piece endless{std::string(1 << 20, 'x'), std::int64_t(1) << 40};
    lecture("lecture: no length, without end", {head("ETag: \"v1\"\r\n\r\n"), endless}, kDownloadFailed);
    lecture("lecture: a length past the largest lecture, without end",
            {head("Content-Length: 3221225472\r\nETag: \"v1\"\r\n\r\n"), endless}, kDownloadFailed);
    // What follows the length given belongs to no answer.
    lecture("lecture: a length, then bytes without end", {head(bodyLength), end, body, endless}, "stored");
    // Chunks override the length given, and would run past it.
    const RawAnswerServer::Piece chunks{"400\r\n" + std::string(0x400, 'x') + "\r\n", std::int64_t(1) << 40};
    lecture("lecture: a length, then chunks without end",
            {head(bodyLength + "Transfer-Encoding: chunked\r\n"), end, chunks}, kDownloadFailed);
}

void HostileServerTest::hostileAnswers()
{
    QFETCH(Asked, asked);
    QFETCH(Answer, answer);
    QFETCH(QString, outcome);
    raw_->setAnswer(answer);
    const QString listPath = QStringLiteral("/lists/20131015.zip");
    if (asked == Asked::LectureList) {
        fixture_->server.serveAnswer(listPath.toStdString(), 302, {{"Location", raw_->url(listPath).toStdString()}},
                                     {});
        fixture_->enterConference();
        const qsizetype lectures = fixture_->window().pageModel().list(PageView::Lectures).size();
        QCOMPARE(messages().isEmpty() ? QStringLiteral("%1 lectures").arg(lectures) : messages(), outcome);
        return;
    }
    fixture_->server.serveBytes(
        listPath.toStdString(),
        toGb2312(QStringLiteral("冠心病%张医生$四十分钟*") + raw_->url(QStringLiteral("/a.wma")) + "\r\n"));
    QVERIFY(fixture_->enterConference());
    // Whatever size the server names, the percentage stays a percentage.
    QStringList percentages;
    MainWindowFixture::onDownloadProgress(
        fixture_->window(), this, [&] { percentages << fixture_->window().pageList().rows[0].percentage->caption(); });
    press(0);
    QCOMPARE(raw_->requestCount(), 1);
    for (const QString& shown : percentages)
        QVERIFY2(shown.isEmpty() || QRegularExpression(QStringLiteral("^(\\d|[1-9]\\d|100)%$")).match(shown).hasMatch(),
                 qPrintable(shown));
    const QStringList stored = QDir(fixture_->favouritesFolder()).entryList(QDir::Files);
    if (outcome == u"stored") {
        QCOMPARE(messages(), QString());
        QCOMPARE(stored, QStringList{kStored});
        QFile file(fixture_->favouritesFolder() + u'/' + kStored);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::fromStdString(kBodyPiece).repeated(kBodyPieces));
    } else {
        QCOMPARE(messages(), outcome);
        QCOMPARE(stored, QStringList());
        QCOMPARE(QDir(fixture_->favouritesFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

QTEST_MAIN(HostileServerTest)
#include "HostileServerTest.moc"
