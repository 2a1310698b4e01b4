#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

// A real HTTP server on a free loopback port, inside the test process: it answers whenever
// window events run, as they do throughout every transfer of the program. It serves prepared
// answers per request target; unknown targets get 404 Not Found. Every answer ends its
// connection.
class LoopbackHttpServer
{
public:
    struct Answer
    {
        enum class Mode {
            Normal,
            Hang, // reads the request, then says nothing
            Close, // reads the request, then closes the connection without a word
            Drip, // the body one byte every `intervalMs`, without Content-Length
            Huge // `size` bytes of price-like text, with Content-Length if `announce`
        };
        Mode mode = Mode::Normal;
        int status = 200;
        QString reason {}; // empty: the standard reason of `status`
        QByteArray body {};
        QString location {}; // sent as the Location header
        int intervalMs = 100;
        qint64 size = 0;
        bool announce = false;
    };

    // A request as it arrived: header names in lower case.
    struct Request
    {
        QByteArray method;
        QString target;
        QMap<QByteArray, QByteArray> headers;
        QByteArray body;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Starts the server; with `tls` it speaks https with a certificate made for 127.0.0.1
    // (certificateFile()), which no system store trusts.
    bool start(bool tls = false);
    void stop();

    QString baseUrl() const; // "http://127.0.0.1:<port>" (https with tls)
    int port() const;
    QString certificateFile() const { return m_certDir.filePath(u"cert.pem"_qs); }

    // `target` is a path with or without a query; an exact match of path and query wins over a
    // match of the path alone.
    void serve(const QString& target, const Answer& answer) { m_answers[target] = answer; }
    void serve(const QString& target, const QByteArray& body);
    void serveStatus(const QString& target, int status, const QString& reason = {});
    void serveRedirect(const QString& target, const QString& location, int status = 302);
    void clear(); // forgets answers and recorded requests
    // Answers every request from `responder` instead of the prepared answers, and keeps no record
    // of them, so that a server running for a simulated year holds nothing per request. An empty
    // function goes back to the prepared answers.
    using Responder = std::function<Answer(const Request&)>;
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // An outage: the server stops listening (connections are refused) until resume() listens
    // again on the same port. Connections already open are answered as before.
    void suspend();
    bool resume();
    QStringList requests() const { return m_requests; } // request targets received, in order
    QList<Request> received() const { return m_received; } // whole requests received, in order

private:
    void answer(QTcpSocket* socket, const Request& request);

    std::unique_ptr<QTcpServer> m_server;
    QTemporaryDir m_certDir;
    bool m_tls = false;
    QMap<QString, Answer> m_answers;
    QStringList m_requests;
    QList<Request> m_received;
    Responder m_responder;
    int m_port = 0;
};

// A fresh program whose quote and history servers are one loopback server, shared by the tests
// of a suite and emptied before each test.
class HttpServerTest : public ProgramTest
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static QString url(const QString& target) { return server->baseUrl() + target; }

    static inline LoopbackHttpServer* server = nullptr;
};
