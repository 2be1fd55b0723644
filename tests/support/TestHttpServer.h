// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace httplib {
class Server;
}

// A real HTTP server on 127.0.0.1 and a free port, in the test process, on
// its own threads; an https one when it is given a certificate. Routes can be changed while it runs; every request is
// recorded with its headers.
class TestHttpServer {
public:
    struct Request {
        std::string method;  // "GET", "HEAD"
        std::string path;  // decoded
        std::string target;  // as sent, percent-encoding and all
        std::multimap<std::string, std::string> headers;
        int remotePort = 0;  // the client's end of the connection it came on
        std::string header(const std::string& name) const;
    };

    // The files of a server certificate and its private key, in PEM.
    struct TlsIdentity {
        QString certificateFile;
        QString keyFile;
    };

    TestHttpServer();
    // An https server showing the certificate of identity.
    explicit TestHttpServer(const TlsIdentity& identity);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int port() const;
    // "http://127.0.0.1:<port>" (https for a server with a certificate)
    // followed by the path ("/a/b.txt").
    QString url(const QString& path) const;

    // The body as given, with its length announced.
    void serveBytes(const std::string& path, const QByteArray& body, int status = 200,
                    const std::string& contentType = "application/octet-stream");
    // Any answer at all, a misbehaving server's too: this status, these
    // headers besides Content-Length, and the body with its length announced.
    void serveAnswer(const std::string& path, int status, const std::multimap<std::string, std::string>& headers,
                     const QByteArray& body);
    // A file as a static file server sends it: status 200, this content
    // type and these headers, a HEAD answered with the headers alone (or
    // refused with 405 when refuseHead). "Range: bytes=0-0" gets the first
    // byte (206) when the headers offer "Accept-Ranges", else the whole file.
    struct StaticFile {
        std::string contentType = "application/octet-stream";
        std::multimap<std::string, std::string> headers;
        bool refuseHead = false;
        int status = 200;
    };
    void serveFile(const std::string& path, const QByteArray& body, const StaticFile& file);
    // The body sent in chunks, with no Content-Length.
    void serveWithoutLength(const std::string& path, const QByteArray& body);
    // The body in pieces of chunkSize bytes with a pause before each.
    void serveSlowly(const std::string& path, const QByteArray& body, std::size_t chunkSize,
                     std::chrono::milliseconds pause);
    // Announces announcedLength bytes, sends the body, then closes the
    // connection.
    void serveCutMidBody(const std::string& path, const QByteArray& body, std::int64_t announcedLength);
    // size bytes made on the fly, so any size costs no memory; the byte at
    // offset i is generatedByte(i). Sent with a fixed ETag, it can be asked
    // for in parts as serveResumable's Honour; with cutAfter at or above 0
    // the connection drops after that many body bytes.
    void serveGenerated(const std::string& path, std::int64_t size, std::int64_t cutAfter = -1);
    // A file that can be asked for in parts: "Range: bytes=N-" with an
    // If-Range naming its validator gets the rest (206), as answer says.
    struct Resumable {
        // NoValidatorOnRange: the rest, but without the validator header.
        enum Answer { Honour, IgnoreRange, WrongOffset, Unsatisfiable, NoValidatorOnRange };
        QByteArray body;
        std::string validatorHeader = "ETag";  // or "Last-Modified"
        std::string validator = "\"v1\"";
        Answer answer = Honour;
        std::int64_t cutAfter = -1;  // body bytes after which the connection drops
        std::chrono::milliseconds pause{0};  // before each piece of 1000 bytes
    };
    void serveResumable(const std::string& path, const Resumable& resource);
    // Chunks without end.
    void serveEndless(const std::string& path);
    // A redirect (302) to another path of this server, or to a whole
    // address anywhere.
    void redirect(const std::string& path, const std::string& target);

    static char generatedByte(std::int64_t offset);

    std::vector<Request> requests() const;
    std::size_t requestCount(const std::string& path) const;

    struct State;

private:
    TestHttpServer(std::unique_ptr<httplib::Server> server, bool secure);

    std::shared_ptr<State> state_;
};
