#include "platform/SmtpClient.h"

#include "platform/Clock.h"
#include "platform/Conversions.h"
#include "platform/ReadableText.h"
#include "platform/TransferHub.h"
#include "platform/Version.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUuid>

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace tradevane {

namespace {

constexpr qsizetype kMaxLineOctets = 998; // the longest line a mail may hold, CR LF not counted
constexpr qsizetype kQuotedPrintableWidth = 76;

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x7e || (c.unicode() < 0x20 && c != u'\r' && c != u'\n' && c != u'\t'))
            return false;
    }
    return true;
}

// Every line ends in CR LF, whatever the text held (CR LF, LF alone or CR alone).
QString withCrLf(const QString& text)
{
    QString normal = text;
    normal.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n');
    QString out = normal.replace(u"\n"_qs, u"\r\n"_qs);
    if (!out.endsWith(u"\r\n"_qs))
        out += u"\r\n"_qs;
    return out;
}

// Quoted-printable (RFC 2045) of UTF-8 text with CR LF line ends: lines stay at most 76
// characters, long lines are broken with soft line breaks.
QByteArray quotedPrintable(const QByteArray& utf8)
{
    QByteArray out;
    const QList<QByteArray> lines = utf8.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break; // the text ended with a line break
        QByteArray encoded;
        qsizetype width = 0;
        for (qsizetype k = 0; k < line.size(); ++k) {
            const auto c = static_cast<unsigned char>(line[k]);
            const bool last = k == line.size() - 1;
            QByteArray piece;
            if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !last))
                piece = QByteArray(1, static_cast<char>(c));
            else
                piece = '=' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
            if (width + piece.size() > kQuotedPrintableWidth - 1) {
                encoded += "=\r\n";
                width = 0;
            }
            encoded += piece;
            width += piece.size();
        }
        out += encoded + "\r\n";
    }
    return out;
}

QByteArray headerLine(const char* name, const QString& value)
{
    return QByteArray(name) + ": " + value.toUtf8() + "\r\n";
}

// A dotted-quad IPv4 address in 127.0.0.0/8.
bool isIpv4Loopback(const QString& text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3
            || !std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })
            || part.toInt() > 255)
            return false;
    }
    return parts.first() == u"127"_qs;
}

QString messageIdDomain(const QString& sender)
{
    static const QRegularExpression kDomain(
        u"^[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?(?:\\.[A-Za-z0-9-]+)*$"_qs);
    const QString address = Smtp::envelopeAddress(sender);
    const QString right = address.section(u'@', -1);
    if (address.contains(u'@') && kDomain.match(right).hasMatch())
        return right;
    return u"tradevane.invalid"_qs;
}

struct CurlListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What the transfer callbacks share: the message being uploaded and the server's last reply.
struct Dialogue
{
    QByteArray message;
    qsizetype sent = 0;
    QByteArray pendingReply;
    QString lastRefusal; // the server's last 4xx or 5xx reply
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Dialogue*>(user);
    // libcurl's upload buffer: small, so the product fits.
    const qsizetype room = static_cast<qsizetype>(size) * static_cast<qsizetype>(count);
    const qsizetype n = std::min(room, t->message.size() - t->sent);
    std::memcpy(buffer, t->message.constData() + t->sent, static_cast<size_t>(n));
    t->sent += n;
    return static_cast<size_t>(n);
}

// Keeps the server's last refusal ("535 5.7.8 Authentication failed") for the failure reason;
// the goodbye that follows a refusal does not replace it.
int watchDialogue(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
    if (type != CURLINFO_HEADER_IN)
        return 0;
    auto* t = static_cast<Dialogue*>(user);
    t->pendingReply.append(data, static_cast<qsizetype>(size));
    qsizetype end;
    while ((end = t->pendingReply.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(t->pendingReply.left(end)).trimmed();
        t->pendingReply.remove(0, end + 1);
        if (line.startsWith(u'4') || line.startsWith(u'5'))
            t->lastRefusal = line;
    }
    return 0;
}

} // namespace

namespace Smtp {

bool isLoopbackHost(const QString& host)
{
    QString name = host.trimmed();
    if (name.startsWith(u'[') && name.endsWith(u']'))
        name = name.mid(1, name.size() - 2);
    if (name.compare(u"localhost"_qs, Qt::CaseInsensitive) == 0
        || name.compare(u"localhost."_qs, Qt::CaseInsensitive) == 0)
        return true;
    // The address as the resolver reads it ("127.1", "0x7f.0.0.1", "0:0::1" are addresses; a name
    // such as "127.0.0.300" is not, and could resolve anywhere).
    QUrl url;
    url.setHost(name, QUrl::StrictMode);
    if (!url.isValid())
        return false;
    const QString address = url.host();
    return isIpv4Loopback(address) || address == u"::1"_qs
        || (address.startsWith(u"::ffff:"_qs) && isIpv4Loopback(address.mid(7)));
}

QString headerValue(const QString& text)
{
    QString clean = text;
    clean.remove(u'\r').remove(u'\n');
    return clean;
}

std::optional<SmtpEndpoint> parseServer(const QString& server, const QString& defaultPort, QString* error)
{
    auto fail = [error](const QString& why) -> std::optional<SmtpEndpoint> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QString text = headerValue(server).trimmed();
    if (text.isEmpty())
        return fail(u"No mail server is set"_qs);

    QString host = text;
    QString portText = defaultPort.trimmed();
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return fail(u"The mail server name \""_qs + text + u"\" is not valid"_qs);
        host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(u':'))
                return fail(u"The mail server name \""_qs + text + u"\" is not valid"_qs);
            portText = rest.mid(1);
        }
    } else if (text.count(u':') == 1) {
        host = text.section(u':', 0, 0);
        portText = text.section(u':', 1);
    }
    // More than one colon without brackets: a bare IPv6 address on the default port.

    static const QRegularExpression kHostName(u"^[^\\s/\\\\?#@\\[\\]<>\"']+$"_qs);
    if (host.isEmpty() || !kHostName.match(host).hasMatch())
        return fail(u"The mail server name \""_qs + text + u"\" is not valid"_qs);

    static const QRegularExpression kDigits(u"^\\d{1,5}$"_qs);
    const std::optional<double> port = textToNumber(portText);
    if (!kDigits.match(portText).hasMatch() || !port || *port < 1 || *port > 65535)
        return fail(u"The mail server port \""_qs + portText + u"\" is not a number from 1 to 65535"_qs);

    SmtpEndpoint endpoint;
    endpoint.host = host;
    endpoint.port = static_cast<int>(*port);
    endpoint.implicitTls = endpoint.port == 465;
    endpoint.loopback = isLoopbackHost(host);
    return endpoint;
}

QStringList splitAddresses(const QString& text)
{
    QStringList addresses;
    for (const QString& part : headerValue(text).split(u',')) {
        const QString address = part.trimmed();
        if (!address.isEmpty())
            addresses.append(address);
    }
    return addresses;
}

QString envelopeAddress(const QString& address)
{
    const QString clean = headerValue(address).trimmed();
    const qsizetype open = clean.lastIndexOf(u'<');
    const qsizetype close = clean.lastIndexOf(u'>');
    if (open >= 0 && close > open)
        return clean.mid(open + 1, close - open - 1).trimmed();
    return clean;
}

bool isMailAddress(const QString& address)
{
    const QString text = headerValue(address).trimmed();
    const qsizetype open = text.indexOf(u'<');
    if (open >= 0 && (!text.endsWith(u'>') || text.indexOf(u'>') != text.size() - 1))
        return false; // a name with more than one address in it, or text after the address
    const QString bare = open >= 0 ? text.mid(open + 1, text.size() - open - 2) : text;
    const qsizetype at = bare.indexOf(u'@');
    if (at <= 0 || at == bare.size() - 1 || bare.indexOf(u'@', at + 1) >= 0)
        return false;
    return std::none_of(bare.begin(), bare.end(), [](QChar c) {
        return c.unicode() <= 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f) || c.isSpace() || c == u'<'
            || c == u'>';
    });
}

QByteArray encodeSubject(const QString& subject)
{
    const QString clean = headerValue(subject);
    // Plain ASCII that fits a header line goes as it is.
    if (isAscii(clean) && clean.size() <= 900)
        return clean.toLatin1();

    // Encoded words of at most 75 characters each, never splitting a character's bytes.
    constexpr qsizetype kMaxChunk = 45; // 45 bytes -> 60 base64 characters + 12 of framing
    QByteArray out;
    QByteArray chunk;
    auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < clean.size(); ++i) {
        qsizetype len = clean[i].isHighSurrogate() && i + 1 < clean.size() ? 2 : 1;
        const QByteArray bytes = clean.mid(i, len).toUtf8();
        if (chunk.size() + bytes.size() > kMaxChunk)
            flush();
        chunk += bytes;
        i += len - 1;
    }
    flush();
    return out;
}

QByteArray buildMessage(const QString& from, const QStringList& to, const QStringList& cc,
    const QString& subject, const QString& body, const QDateTime& date, const QString& messageId)
{
    const QString text = withCrLf(body);
    bool longLine = false;
    for (const QString& line : text.split(u"\r\n"_qs))
        longLine = longLine || line.toUtf8().size() > kMaxLineOctets;
    const bool plain = isAscii(text) && !longLine;

    QByteArray message;
    message += headerLine("Date", date.toString(Qt::RFC2822Date));
    message += headerLine("From", headerValue(from).trimmed());
    message += headerLine("To", to.join(u", "_qs));
    if (!cc.isEmpty())
        message += headerLine("Cc", cc.join(u", "_qs));
    message += "Subject: " + encodeSubject(subject) + "\r\n";
    message += headerLine("Message-ID", u'<' + messageId + u'>');
    message += "MIME-Version: 1.0\r\n";
    message += plain
        ? "Content-Type: text/plain; charset=US-ASCII\r\nContent-Transfer-Encoding: 7bit\r\n"
        : "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
    message += headerLine("X-Mailer", u"Tradevane "_qs + versionText().section(u' ', 1));
    message += "\r\n";
    message += plain ? text.toLatin1() : quotedPrintable(text.toUtf8());
    return message;
}

} // namespace Smtp

// One send: the message and the envelope, which libcurl's callbacks read while the transfer runs.
class SmtpClient::MailSend final : public QObject, public Pending
{
public:
    MailSend(SmtpClient* control, Done done)
        : m_done(std::move(done))
    {
        if (!control->m_sending) {
            m_control = control;
            control->m_sending = this;
        }
    }

    ~MailSend() override
    {
        m_done = nullptr;
        transfer.reset(); // before what its callbacks read
        curl_slist_free_all(recipients);
        release();
    }

    void cancel() override
    {
        if (transfer)
            transfer->cancel();
        else if (m_early)
            deliver(*m_early);
    }

    // A failure found before anything was sent, reported from the event loop all the same.
    void failEarly(const QString& why)
    {
        m_early = SmtpResult {false, why};
        QMetaObject::invokeMethod(
            this, [this] { deliver(*m_early); }, Qt::QueuedConnection);
    }

    void deliver(const SmtpResult& result)
    {
        release();
        Done done = std::exchange(m_done, nullptr);
        if (done)
            done(result); // may destroy this send: nothing of it is touched afterwards
    }

    void release()
    {
        if (m_control)
            m_control->m_sending = nullptr;
        m_control = nullptr;
    }

    Dialogue dialogue;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    QByteArray url;
    QByteArray from;
    QByteArray user;
    QByteArray password;
    QByteArray caFile;
    curl_slist* recipients = nullptr;
    std::unique_ptr<Transfer> transfer;

private:
    SmtpClient* m_control = nullptr;
    Done m_done;
    std::optional<SmtpResult> m_early;
};

SmtpClient::SmtpClient(TransferHub& hub)
    : m_hub(hub)
{ }

SmtpClient::~SmtpClient()
{
    if (m_sending)
        m_sending->release();
}

void SmtpClient::setTimeouts(int connectMs, int totalMs)
{
    m_connectTimeoutMs = connectMs;
    m_timeoutMs = totalMs;
}

std::unique_ptr<Pending> SmtpClient::send(const MailMessage& message, const MailAccount& account, Done done)
{
    const bool busyBefore = busy();
    auto send = std::make_unique<MailSend>(this, std::move(done));
    if (busyBefore) {
        send->failEarly(u"Another message is still being sent"_qs);
        return send;
    }

    QString reason;
    const std::optional<SmtpEndpoint> endpoint = Smtp::parseServer(account.server, u"25"_qs, &reason);
    const QString from = Smtp::envelopeAddress(message.from);
    const QStringList to = Smtp::splitAddresses(message.to);
    const QStringList cc = Smtp::splitAddresses(message.cc);
    if (!endpoint)
        send->failEarly(reason);
    else if (from.isEmpty())
        send->failEarly(u"No sender address is set"_qs);
    else if (to.isEmpty())
        send->failEarly(u"No recipient address is set"_qs);
    if (!endpoint || from.isEmpty() || to.isEmpty())
        return send;
    // Nothing but a plain address may reach the MAIL FROM and RCPT TO commands.
    const auto notAnAddress = [](const QString& role, const QString& address) -> QString {
        return u"The "_qs + role + u" address \""_qs + address
            + u"\" is not a mail address of the form name@example.com; nothing was sent"_qs;
    };
    if (!Smtp::isMailAddress(message.from)) {
        send->failEarly(notAnAddress(u"sender"_qs, Smtp::headerValue(message.from).trimmed()));
        return send;
    }
    for (const QString& address : to + cc) {
        if (!Smtp::isMailAddress(address)) {
            send->failEarly(notAnAddress(cc.contains(address) ? u"copy"_qs : u"recipient"_qs, address));
            return send;
        }
    }

    const bool login = !account.userName.isEmpty() || !account.password.isEmpty();
    const QString host = endpoint->host.contains(u':') ? u'[' + endpoint->host + u']' : endpoint->host;
    const QString url = (endpoint->implicitTls ? u"smtps://"_qs : u"smtp://"_qs) + host + u':'
        + QString::number(endpoint->port);

    MailSend& m = *send;
    m.dialogue.message = Smtp::buildMessage(message.from, to, cc, message.subject, message.text, now(),
        QUuid::createUuid().toString(QUuid::WithoutBraces) + u'@' + messageIdDomain(message.from));
    for (const QString& address : to + cc) {
        const QByteArray entry = '<' + Smtp::envelopeAddress(address).toUtf8() + '>';
        curl_slist* grown = curl_slist_append(m.recipients, entry.constData());
        if (!grown) {
            send->failEarly(u"The mail transfer could not be prepared"_qs);
            return send;
        }
        m.recipients = grown;
    }
    CURL* h = curl_easy_init();
    if (!h) {
        send->failEarly(u"The mail transfer could not be prepared"_qs);
        return send;
    }

    m.url = url.toUtf8();
    m.from = '<' + from.toUtf8() + '>';
    m.user = account.userName.toUtf8();
    m.password = account.password.toUtf8();
    m.caFile = m_caFile.toLocal8Bit();
    curl_easy_setopt(h, CURLOPT_URL, m.url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, m.errorBuffer);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeoutMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(m_timeoutMs));
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!m.caFile.isEmpty())
        curl_easy_setopt(h, CURLOPT_CAINFO, m.caFile.constData());
    // A login must never cross the network in clear text; without one, mail goes encrypted
    // when the server can, and plain otherwise, as it always did on port 25.
    const bool mustEncrypt = endpoint->implicitTls || (login && !endpoint->loopback);
    curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(mustEncrypt ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (login) {
        curl_easy_setopt(h, CURLOPT_USERNAME, m.user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, m.password.constData());
    }
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, m.from.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, m.recipients);
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(m.dialogue.message.size()));
    curl_easy_setopt(h, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(h, CURLOPT_READDATA, &m.dialogue);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, watchDialogue);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &m.dialogue);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
    // One connection per mail: nothing is left open to a server between two quote sets.
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);

    m.transfer = m_hub.start(h, [&m, url, login](const Transfer::Result& result) {
        if (result.cancelled) {
            m.deliver({false, kSendingCancelled});
            return;
        }
        const CURLcode rc = result.code;
        if (rc == CURLE_OK) {
            m.deliver({true, {}});
            return;
        }
        if (rc == CURLE_USE_SSL_FAILED && login) {
            m.deliver({false,
                u"The server at "_qs + url
                    + u" offers no encryption (STARTTLS), so the user name and password were not sent"_qs});
            return;
        }
        QString error = QString::fromUtf8(m.errorBuffer).trimmed();
        if (error.isEmpty())
            error = QString::fromUtf8(curl_easy_strerror(rc));
        if (!m.dialogue.lastRefusal.isEmpty())
            error += u" (server replied: "_qs + m.dialogue.lastRefusal + u')';
        m.deliver({false, readableLine(error)});
    });
    return send;
}

} // namespace tradevane
