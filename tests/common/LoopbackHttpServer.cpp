#include "LoopbackHttpServer.h"

#include "engine/settings/ServerSettings.h"

#include <QFile>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

using namespace tradevane;

namespace {

QByteArray standardReason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 204:
        return "No Content";
    case 401:
        return "Unauthorized";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Unknown";
    }
}

// The request once all of it is in: the head, and the body as long as Content-Length says.
std::optional<LoopbackHttpServer::Request> readRequest(const QByteArray& bytes)
{
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    LoopbackHttpServer::Request request;
    const QList<QByteArray> lines = bytes.left(headEnd).split('\n');
    const QList<QByteArray> start = lines.value(0).trimmed().split(' ');
    request.method = start.value(0);
    request.target = QString::fromLatin1(start.value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(
                lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (bytes.size() - headEnd - 4 < length)
        return std::nullopt;
    request.body = bytes.mid(headEnd + 4, length);
    return request;
}

QByteArray priceText(qint64 size)
{
    const QByteArray line = "2003-12-05,10.10,10.90,10.00,10.50,4200,10.50\n";
    return line.repeated(size / line.size() + 1).left(size);
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer() = default;

LoopbackHttpServer::~LoopbackHttpServer()
{
    stop();
}

bool LoopbackHttpServer::start(bool tls)
{
    stop();
    m_tls = tls;
    if (tls) {
        QString error;
        QFile key(m_certDir.filePath(u"key.pem"_qs));
        if (!m_certDir.isValid() || !makeTestCertificate(m_certDir.path(), {}, &error)
            || !key.open(QIODevice::ReadOnly))
            return false;
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificateChain(QSslCertificate::fromPath(certificateFile()));
        config.setPrivateKey(QSslKey(&key, QSsl::Ec));
        auto secure = std::make_unique<QSslServer>();
        secure->setSslConfiguration(config);
        m_server = std::move(secure);
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(
                socket, &QTcpSocket::readyRead, socket, [this, socket, bytes = QByteArray()]() mutable {
                    bytes += socket->readAll();
                    if (socket->property("answered").toBool())
                        return;
                    if (const std::optional<Request> request = readRequest(bytes)) {
                        socket->setProperty("answered", true);
                        answer(socket, *request);
                    }
                });
        }
    });
    if (!m_server->listen(QHostAddress::LocalHost))
        return false;
    m_port = m_server->serverPort();
    return true;
}

void LoopbackHttpServer::suspend()
{
    if (m_server)
        m_server->close();
}

bool LoopbackHttpServer::resume()
{
    return m_server && (m_server->isListening() || m_server->listen(QHostAddress::LocalHost, m_port));
}

void LoopbackHttpServer::stop()
{
    m_server.reset(); // its connections with it
}

QString LoopbackHttpServer::baseUrl() const
{
    return (m_tls ? u"https://127.0.0.1:"_qs : u"http://127.0.0.1:"_qs) + QString::number(port());
}

int LoopbackHttpServer::port() const
{
    return m_server ? m_port : 0;
}

void LoopbackHttpServer::answer(QTcpSocket* socket, const Request& request)
{
    using Mode = Answer::Mode;
    const QString& target = request.target;
    const Answer missing {.status = 404, .body = "no such page"};
    Answer a;
    if (m_responder) {
        a = m_responder(request);
    } else {
        m_requests.append(target);
        m_received.append(request);
        a = m_answers.value(target, m_answers.value(target.section(u'?', 0, 0), missing));
    }
    if (a.mode == Mode::Hang)
        return;
    if (a.mode == Mode::Close) {
        socket->disconnectFromHost();
        return;
    }
    const QByteArray body = a.mode == Mode::Huge ? priceText(a.size) : a.body;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + ' '
        + (a.reason.isEmpty() ? standardReason(a.status) : a.reason.toLatin1()) + "\r\nConnection: close\r\n";
    if (!a.location.isEmpty())
        head += "Location: " + a.location.toLatin1() + "\r\n";
    if (a.mode == Mode::Normal || a.announce)
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    socket->write(head + "\r\n");
    if (a.mode != Mode::Drip) {
        socket->write(body);
        socket->disconnectFromHost(); // once everything is written
        return;
    }
    auto* timer = new QTimer(socket);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent = qsizetype(0)]() mutable {
        socket->write(body.mid(sent++, 1));
        if (sent >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
        }
    });
    timer->start(a.intervalMs);
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
    answer.location = location;
    serve(target, answer);
}

void LoopbackHttpServer::clear()
{
    m_answers.clear();
    m_requests.clear();
    m_received.clear();
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
    m_app.settings.servers = {server->baseUrl(), server->baseUrl()};
}
