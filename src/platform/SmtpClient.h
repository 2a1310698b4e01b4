#pragma once

#include "platform/Pending.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tradevane {

class TransferHub;

// The outcome of one send: ok, or the reason it failed (the server's reply where there is one),
// as one clean line (readableLine).
struct SmtpResult
{
    bool ok = false;
    QString error;
};

// Where the Server text points: "smtp.example.com", "smtp.example.com:587", "[::1]:2525".
struct SmtpEndpoint
{
    QString host; // without brackets
    int port = 25;
    bool implicitTls = false; // port 465: TLS from the first byte
    bool loopback = false; // this machine: a login may go unencrypted
};

// One mail: addresses as the user typed them ("Ann <ann@x.com>" or "ann@x.com").
struct MailMessage
{
    QString from;
    QString to; // one address, or several separated by commas
    QString cc; // empty: no copy
    QString subject;
    QString text;
};

// Where a mail goes out: the server ("smtp.example.com", "smtp.example.com:587"; port 25 when
// none is written) and the login, empty when the server wants none.
struct MailAccount
{
    QString server;
    QString userName;
    QString password;
};

// The program's mail client. send() starts the transfer on the hub and returns; `done` hears from
// the event loop whether the server took the message:
//  - port 465 speaks TLS at once, every other port switches to TLS with STARTTLS whenever the
//    server offers it;
//  - a user name or password only ever travels encrypted, except to a loopback address;
//  - certificates are verified; connecting may take 10 s, the whole send 60 s;
//  - CR and LF are removed from every header value and address.
// A second send while one runs is refused. Cancelling what send returns ends the transfer at once
// and reports "sending cancelled".
class SmtpClient
{
public:
    using Done = std::function<void(const SmtpResult&)>;

    explicit SmtpClient(TransferHub& hub);
    ~SmtpClient();
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    // A failure found before anything is sent (no server, no recipient, busy) is reported too,
    // from the event loop like every other outcome.
    [[nodiscard]] std::unique_ptr<Pending> send(
        const MailMessage& message, const MailAccount& account, Done done);

    bool busy() const { return m_sending != nullptr; }

    // Certificate authorities to trust instead of the system's (a test server's own certificate).
    void setCaFile(const QString& path) { m_caFile = path; }
    // Shorter limits let tests of a silent server end in a moment, longer ones outlast a test.
    void setTimeouts(int connectMs, int totalMs);

private:
    class MailSend;
    TransferHub& m_hub;
    MailSend* m_sending = nullptr;
    QString m_caFile;
    int m_connectTimeoutMs = 10'000;
    int m_timeoutMs = 60'000;
};

// What a cancelled send reports.
inline const QString kSendingCancelled = QStringLiteral("sending cancelled");

namespace Smtp {

// This machine: the name "localhost", or an address in 127.0.0.0/8 or ::1 as the resolver reads
// it ("127.1" too). Any other name ("127.0.0.300", "localhost.example.com") may resolve anywhere
// and is not. A secret may go unencrypted only to this machine.
bool isLoopbackHost(const QString& host);

// Reads the Server text; nullopt with `error` set when it cannot name a server.
std::optional<SmtpEndpoint> parseServer(const QString& server, const QString& defaultPort, QString* error);

// "a@x.com, b@y.com,c@z.com" -> the three addresses, trimmed, empty entries dropped.
QStringList splitAddresses(const QString& text);

// The bare address for the envelope: "Ann <ann@x.com>" -> "ann@x.com".
QString envelopeAddress(const QString& address);

// Whether `address` ("ann@x.com" or "Ann <ann@x.com>", CR and LF ignored) can go into the
// envelope: its bare address holds exactly one "@" with text on both sides, and no "<", ">",
// space or control character; with a name, nothing follows the ">".
bool isMailAddress(const QString& address);

// A header value with every CR and LF removed.
QString headerValue(const QString& text);

// The subject as it goes into the header: as is when plain ASCII, else UTF-8 encoded words.
QByteArray encodeSubject(const QString& subject);

// The whole message, CR LF line ends throughout.
QByteArray buildMessage(const QString& from, const QStringList& to, const QStringList& cc,
    const QString& subject, const QString& body, const QDateTime& date, const QString& messageId);

} // namespace Smtp

} // namespace tradevane
