#pragma once

#include "TestSupport.h"

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A real HTTP server on a free loopback port (/usr/bin/python3 running
// tests/common/loopback_http_server.py) that serves prepared answers per request path.
// Unknown paths get 404 Not Found.
class LoopbackHttpServer
{
public:
    struct Answer
    {
        enum class Mode { Normal, Hang, Close, Drip, Huge };
        Mode mode = Mode::Normal;
        int status = 200;
        QString reason; // empty: the standard reason of `status`
        QByteArray body;
        QMap<QString, QString> headers;
        int chunk = 1; // Drip: bytes per step
        int intervalMs = 100; // Drip: pause before each step
        qint64 size = 0; // Huge: body length
        bool announce = false; // Huge: send Content-Length
    };

    LoopbackHttpServer() = default;
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Starts the server; with `tls` it speaks https with a certificate made for 127.0.0.1
    // (certificateFile()), which no system store trusts.
    bool start(bool tls = false);
    void stop();

    QString baseUrl() const; // "http://127.0.0.1:<port>" (https with tls)
    int port() const { return m_port; }
    QString certificateFile() const;

    // `target` is a path with or without a query; an exact match of path and query wins over a
    // match of the path alone.
    void serve(const QString& target, const Answer& answer);
    void serve(const QString& target, const QByteArray& body);
    void serveStatus(const QString& target, int status, const QString& reason = {});
    void serveRedirect(const QString& target, const QString& location, int status = 302);
    void clear(); // forgets answers and recorded requests
    QStringList requests(); // request targets received so far, in order

    // A loopback port on which nothing listens.
    static int unusedPort();

private:
    QByteArray command(const QByteArray& json);

    std::unique_ptr<QProcess> m_process;
    QTemporaryDir m_certDir;
    bool m_tls = false;
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
