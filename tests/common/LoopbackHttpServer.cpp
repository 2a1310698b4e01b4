#include "LoopbackHttpServer.h"

#include "core/ServerSettings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kReplyTimeoutMs = 10'000;
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stop();
}

QString LoopbackHttpServer::certificateFile() const
{
    return m_certDir.filePath(u"cert.pem"_qs);
}

bool LoopbackHttpServer::start(bool tls)
{
    stop();
    m_tls = tls;
    QStringList arguments {QStringLiteral(TRADEVANE_SOURCE_DIR "/tests/common/loopback_http_server.py")};
    if (tls) {
        QString error;
        if (!m_certDir.isValid() || !MakeTestCertificate(m_certDir.path(), {}, &error))
            return false;
        arguments << u"--tls"_qs << certificateFile() << m_certDir.filePath(u"key.pem"_qs);
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(u"/usr/bin/python3"_qs, arguments);
    if (!m_process->waitForStarted(kReplyTimeoutMs))
        return false;
    while (!m_process->canReadLine()) {
        if (!m_process->waitForReadyRead(kReplyTimeoutMs))
            return false;
    }
    const QByteArray line = m_process->readLine().trimmed();
    if (!line.startsWith("PORT "))
        return false;
    m_port = line.mid(5).toInt();
    return m_port > 0;
}

void LoopbackHttpServer::stop()
{
    if (!m_process)
        return;
    m_process->closeWriteChannel(); // the server ends at the end of its input
    if (!m_process->waitForFinished(3000)) {
        m_process->kill();
        m_process->waitForFinished(3000);
    }
    m_process.reset();
    m_port = 0;
}

QString LoopbackHttpServer::baseUrl() const
{
    return (m_tls ? u"https://127.0.0.1:"_qs : u"http://127.0.0.1:"_qs) + QString::number(m_port);
}

QByteArray LoopbackHttpServer::command(const QByteArray& json)
{
    if (!m_process)
        return {};
    m_process->write(json + '\n');
    m_process->waitForBytesWritten(kReplyTimeoutMs);
    while (!m_process->canReadLine()) {
        if (!m_process->waitForReadyRead(kReplyTimeoutMs))
            return {};
    }
    return m_process->readLine();
}

void LoopbackHttpServer::serve(const QString& target, const Answer& answer)
{
    static const char* const modes[] = {"normal", "hang", "close", "drip", "huge"};
    QJsonObject headers;
    for (auto it = answer.headers.begin(); it != answer.headers.end(); ++it)
        headers.insert(it.key(), it.value());
    QJsonObject request {
        {u"cmd"_qs, u"set"_qs},
        {u"path"_qs, target},
        {u"mode"_qs, QString::fromLatin1(modes[static_cast<int>(answer.mode)])},
        {u"status"_qs, answer.status},
        {u"body"_qs, QString::fromLatin1(answer.body.toBase64())},
        {u"headers"_qs, headers},
        {u"chunk"_qs, answer.chunk},
        {u"interval_ms"_qs, answer.intervalMs},
        {u"size"_qs, answer.size},
        {u"announce"_qs, answer.announce},
    };
    if (!answer.reason.isEmpty())
        request.insert(u"reason"_qs, answer.reason);
    command(QJsonDocument(request).toJson(QJsonDocument::Compact));
}

void LoopbackHttpServer::serve(const QString& target, const QByteArray& body)
{
    Answer answer;
    answer.body = body;
    serve(target, answer);
}

void LoopbackHttpServer::serveStatus(const QString& target, int status, const QString& reason)
{
    Answer answer;
    answer.status = status;
    answer.reason = reason;
    answer.body = "error page";
    serve(target, answer);
}

void LoopbackHttpServer::serveRedirect(const QString& target, const QString& location, int status)
{
    Answer answer;
    answer.status = status;
    answer.headers.insert(u"Location"_qs, location);
    serve(target, answer);
}

void LoopbackHttpServer::clear()
{
    command(R"({"cmd":"clear"})");
}

QStringList LoopbackHttpServer::requests()
{
    QStringList targets;
    const QJsonArray list
        = QJsonDocument::fromJson(command(R"({"cmd":"requests"})")).object().value(u"requests"_qs).toArray();
    for (const QJsonValue& value : list)
        targets << value.toString();
    return targets;
}

int LoopbackHttpServer::unusedPort()
{
    // Binds a free port and gives it back; nothing listens there afterwards.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

void HttpServerTest::SetUpTestSuite()
{
    server = new LoopbackHttpServer;
    ASSERT_TRUE(server->start());
}

void HttpServerTest::TearDownTestSuite()
{
    delete server;
    server = nullptr;
}

void HttpServerTest::SetUp()
{
    ProgramTest::SetUp();
    server->clear();
    gServerSettings = {server->baseUrl(), server->baseUrl()};
}
