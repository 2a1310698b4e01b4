#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real SMTP server (aiosmtpd under /usr/bin/python3) on a free port for one test, saving
// what it receives. Optional login, STARTTLS or TLS at once with a self-signed certificate the
// fixture makes (trust it with caFile()), rejected recipients.
struct SmtpServerOptions
{
    QString host = QStringLiteral("127.0.0.1");
    int port = 0; // 0: a free one
    QString user {}; // set: a login is required
    QString password {};
    bool startTls = false;
    bool implicitTls = false;
    QStringList reject {}; // recipients refused with 550
};

struct ReceivedMail
{
    QByteArray content; // as received, CR LF line ends
    QString mailFrom;
    QStringList rcptTos;
    bool tls = false;
    bool tlsAtLogin = false;
    QString login;

    // The value of the header `name` (first occurrence, unfolded), or empty.
    QString header(const QString& name) const;
    QByteArray body() const;
};

class LoopbackSmtpServer
{
public:
    explicit LoopbackSmtpServer(SmtpServerOptions options = {});
    ~LoopbackSmtpServer();
    LoopbackSmtpServer(const LoopbackSmtpServer&) = delete;
    LoopbackSmtpServer& operator=(const LoopbackSmtpServer&) = delete;

    // Starts the server; false with `error` set when it cannot run here.
    bool start(QString* error);
    void stop();
    // Starts it again after stop(), on the same port; the messages received so far are kept.
    bool restart(QString* error);
    // Waits `ms` before accepting each message from now on (0: at once again).
    void setDelay(int ms);

    int port() const { return m_port; }
    QString host() const { return m_options.host; }
    QString server() const; // "host:port", as typed in the mail settings
    QString caFile() const; // the certificate to trust; empty without TLS
    QList<ReceivedMail> received() const;

    // An address of this machine that is not loopback (for the rules that only loopback
    // relaxes), or empty when there is none.
    static QString nonLoopbackAddress();

private:
    SmtpServerOptions m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};
