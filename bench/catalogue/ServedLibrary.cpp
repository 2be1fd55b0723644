// SPDX-License-Identifier: GPL-3.0-or-later

#include "ServedLibrary.h"

#include "GeneratedLibrary.h"
#include "format/LibraryIndex.h"
#include "format/TextCodec.h"
#include "support/Gb2312.h"

#include <QCryptographicHash>
#include <QDate>

#include <httplib.h>

#include <cstdio>
#include <stdexcept>
#include <thread>
#include <unordered_map>

namespace {

constexpr int kConferences = 500;
// 40, 20,000 lectures in all; KARDELO_BENCH_LECTURES_PER_CONFERENCE=200
// tries the library five times as large.
int lecturesPerConference()
{
    const int asked = qEnvironmentVariableIntValue("KARDELO_BENCH_LECTURES_PER_CONFERENCE");
    return asked > 0 ? asked : 40;
}
// The seed of search_key_bench: the same titles, speakers and notes.
constexpr unsigned kSeed = 20140202;

// Every character within GB2312 proper (two bytes of 0xA1 to 0xFE, the
// first at most 0xF7), not only within the code page the encoder knows:
// the real server's texts hold no other.
bool isGb2312(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80)
            continue;
        if (i + 1 >= bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (lead < 0xA1 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE)
            return false;
    }
    return true;
}

QByteArray serverText(const QString& text)
{
    const QByteArray bytes = toGb2312(text);
    if (!isGb2312(bytes) || bytesToText(bytes, kServerCharset) != text)
        throw std::runtime_error("a generated text is not GB2312");
    return bytes;
}

QString withLineEnds(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

}  // namespace

qint64 ServedLibrary::listBytes() const
{
    qint64 bytes = 0;
    for (const auto& [name, text] : lists)
        bytes += text.size();
    return bytes;
}

ServedLibrary makeServedLibrary()
{
    const int perConference = lecturesPerConference();
    const GeneratedLibrary generated = generateLibrary(kConferences, perConference, kSeed);
    ServedLibrary served;
    LibraryIndex index;
    // A conference every ten days back from the newest: each list's name
    // is its date, so no two share one.
    const QDate newest(2013, 12, 28);
    for (int c = 0; c < kConferences; ++c) {
        const QString date = newest.addDays(-10 * c).toString(QStringLiteral("yyyyMMdd"));
        const QString conference =
            generated.conferences.at(c) + u'%' + date + QStringLiteral("*共%1讲").arg(perConference);
        QStringList lectures;
        for (int l = 0; l < perConference; ++l) {
            const GeneratedLibrary::Lecture& lecture = generated.lectures.at(c * perConference + l);
            served.lectureTitles << lecture.title;
            lectures << lecture.title + u'%' + lecture.speaker + u'$' + lecture.note
                    + QStringLiteral("*http://media.kardelo.test/audio/%1-%2.wma").arg(date).arg(l + 1);
        }
        served.conferenceLines << conference;
        served.lists.append(
            {date + QStringLiteral(".zip"),
             serverText(generated.conferences.at(c) + QStringLiteral(" 讲座列表\r\n\r\n") + withLineEnds(lectures))});
        index.conferences.append({conference, lectures});
    }
    served.catalogue = serverText(QStringLiteral("医学讲座目录\r\n\r\n") + withLineEnds(served.conferenceLines));
    served.index = serverText(formatLibraryIndex(index));
    return served;
}

int serveLibraryUntilInputEnds()
{
    const ServedLibrary library = makeServedLibrary();
    httplib::Server server;
    // As the library's nginx keeps a connection (keepalive_requests,
    // keepalive_timeout): the tests' server closes one after five requests,
    // which would cost the learning list by list a handshake every five.
    server.set_keep_alive_max_count(1000);
    server.set_keep_alive_timeout(75);
    // And as nginx sends (tcp_nodelay): a body held back behind its headers
    // until they are acknowledged waits for a delayed ACK, 40 ms a list.
    server.set_tcp_nodelay(true);
    // As a static file server answers: with validators, so that the client
    // keeps each text with them.
    struct File {
        std::string body;
        std::string tag;
    };
    std::unordered_map<std::string, File> files;
    const auto serve = [&files](const QString& path, const QByteArray& text) {
        const QByteArray tag = QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex().left(16);
        files[path.toStdString()] = {text.toStdString(), '"' + tag.toStdString() + '"'};
    };
    for (const QString& root : {kIndexedRoot, kUnindexedRoot}) {
        serve(root + QStringLiteral("lists/catalogue.txt"), library.catalogue);
        for (const auto& [name, text] : library.lists)
            serve(root + QStringLiteral("lists/") + name, text);
    }
    serve(kIndexedRoot + kLibraryIndexPath, library.index);
    server.Get(".*", [&files](const httplib::Request& request, httplib::Response& response) {
        const auto found = files.find(request.path);
        if (found == files.end()) {
            response.status = 404;
            return;
        }
        response.set_header("ETag", found->second.tag);
        response.set_header("Last-Modified", "Sat, 28 Dec 2013 08:00:00 GMT");
        response.set_content(found->second.body, "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0)
        return 1;
    std::thread serving([&server] { server.listen_after_bind(); });
    std::printf("%d\n", port);
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) { }
    server.stop();
    serving.join();
    return 0;
}
