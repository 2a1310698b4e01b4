#include "LoopbackSmtpServer.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");
constexpr int kStartMs = 15000;
const QString kPackages = u" (the test mail server needs Debian's python3 and python3-aiosmtpd: "
                          "scripts/install-deps.sh installs them)"_qs;

QString script()
{
    return QStringLiteral(TRADEVANE_SOURCE_DIR "/tests/common/smtp_server.py");
}

} // namespace

QString ReceivedMail::header(const QString& name) const
{
    const qsizetype end = content.indexOf("\r\n\r\n");
    const QString head = QString::fromUtf8(end < 0 ? content : content.left(end));
    QString value;
    bool inside = false;
    for (const QString& line : head.split(u"\r\n"_qs)) {
        if (inside && (line.startsWith(u' ') || line.startsWith(u'\t'))) {
            value += line.mid(1);
            continue;
        }
        if (inside)
            break;
        if (line.section(u':', 0, 0).compare(name, Qt::CaseInsensitive) == 0) {
            value = line.section(u':', 1).trimmed();
            inside = true;
        }
    }
    return value;
}

QByteArray ReceivedMail::body() const
{
    const qsizetype end = content.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : content.mid(end + 4);
}

LoopbackSmtpServer::LoopbackSmtpServer(SmtpServerOptions options)
    : m_options(std::move(options))
{ }

LoopbackSmtpServer::~LoopbackSmtpServer()
{
    stop();
}

QString LoopbackSmtpServer::server() const
{
    const QString host = m_options.host.contains(u':') ? u'[' + m_options.host + u']' : m_options.host;
    return host + u':' + QString::number(m_port);
}

QString LoopbackSmtpServer::caFile() const
{
    return (m_options.startTls || m_options.implicitTls) ? m_dir.filePath(u"cert.pem"_qs) : QString();
}

bool LoopbackSmtpServer::start(QString* error)
{
    if (!QFile::exists(kPython)) {
        *error = kPython + u" is missing"_qs + kPackages;
        return false;
    }
    const QString store = m_dir.filePath(u"received"_qs);
    QDir().mkpath(store);
    QStringList args {script(), u"--host"_qs, m_options.host, u"--store"_qs, store};
    if (m_options.port)
        args << u"--port"_qs << QString::number(m_options.port);
    if (!m_options.user.isEmpty())
        args << u"--user"_qs << m_options.user << u"--password"_qs << m_options.password;
    if (m_options.startTls || m_options.implicitTls) {
        if (!makeTestCertificate(m_dir.path(), m_options.host, error))
            return false;
        args << u"--cert"_qs << m_dir.filePath(u"cert.pem"_qs) << u"--key"_qs
             << m_dir.filePath(u"key.pem"_qs);
        if (m_options.implicitTls)
            args << u"--implicit-tls"_qs;
    }
    for (const QString& address : m_options.reject)
        args << u"--reject"_qs << address;

    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(kPython, args);
    if (!m_process.waitForStarted(kStartMs)) {
        *error = u"the SMTP test server did not start"_qs;
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kStartMs) {
        if (m_process.canReadLine() || m_process.waitForReadyRead(200)) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            if (line.startsWith(u"READY "_qs)) {
                m_port = line.mid(6).toInt();
                return true;
            }
        }
        if (m_process.state() != QProcess::Running)
            break;
    }
    *error = u"the SMTP test server did not come up: "_qs
        + QString::fromUtf8(m_process.readAllStandardError()).trimmed() + kPackages;
    stop();
    return false;
}

void LoopbackSmtpServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool LoopbackSmtpServer::restart(QString* error)
{
    stop();
    m_options.port = m_port;
    return start(error);
}

void LoopbackSmtpServer::setDelay(int ms)
{
    m_process.write("delay " + QByteArray::number(ms) + '\n');
}

QList<ReceivedMail> LoopbackSmtpServer::received() const
{
    QList<ReceivedMail> mails;
    QDir store(m_dir.filePath(u"received"_qs));
    for (const QString& name : store.entryList({u"msg-*.eml"_qs}, QDir::Files, QDir::Name)) {
        ReceivedMail mail;
        QFile eml(store.filePath(name));
        if (eml.open(QIODevice::ReadOnly))
            mail.content = eml.readAll();
        QFile json(store.filePath(QString(name).replace(u".eml"_qs, u".json"_qs)));
        if (json.open(QIODevice::ReadOnly)) {
            const QJsonObject info = QJsonDocument::fromJson(json.readAll()).object();
            mail.mailFrom = info[u"mail_from"_qs].toString();
            for (const QJsonValue& to : info[u"rcpt_tos"_qs].toArray())
                mail.rcptTos.append(to.toString());
            mail.tls = info[u"tls"_qs].toBool();
            mail.tlsAtLogin = info[u"tls_at_auth"_qs].toBool();
            mail.login = info[u"login"_qs].toString();
        }
        mails.append(mail);
    }
    return mails;
}

QString LoopbackSmtpServer::nonLoopbackAddress()
{
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    }
    return {};
}
