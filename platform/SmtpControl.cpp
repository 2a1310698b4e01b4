#include "platform/SmtpControl.h"

#include "core/Conversions.h"
#include "core/Version.h"
#include "platform/Clock.h"
#include "platform/CurlDriver.h"
#include "platform/ProgramEnd.h"

#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QUuid>

#include <curl/curl.h>

#include <memory>

namespace {

constexpr int kPollMs = 20;
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

bool isLoopback(const QString& host)
{
    static const QRegularExpression ipv4Loopback(u"^127\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"_qs);
    return host.compare(u"localhost"_qs, Qt::CaseInsensitive) == 0
        || host.compare(u"localhost."_qs, Qt::CaseInsensitive) == 0 || ipv4Loopback.match(host).hasMatch()
        || host == u"::1"_qs || host == u"0:0:0:0:0:0:0:1"_qs;
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

QString messageIdDomain(const QString& sender)
{
    static const QRegularExpression domain(
        u"^[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?(?:\\.[A-Za-z0-9-]+)*$"_qs);
    const QString address = Smtp::EnvelopeAddress(sender);
    const QString right = address.section(u'@', -1);
    if (address.contains(u'@') && domain.match(right).hasMatch())
        return right;
    return u"tradevane.invalid"_qs;
}

struct CurlEasyDeleter
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

struct CurlMultiDeleter
{
    void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};

struct CurlListDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What the transfer callbacks share: the message being uploaded and the server's last reply.
struct Transfer
{
    QByteArray message;
    qsizetype sent = 0;
    QByteArray pendingReply;
    QString lastRefusal; // the server's last 4xx or 5xx reply
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const qsizetype room = static_cast<qsizetype>(size * count);
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
    auto* t = static_cast<Transfer*>(user);
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

void initCurl()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(initialised);
}

} // namespace

namespace Smtp {

QString HeaderValue(const QString& text)
{
    QString clean = text;
    clean.remove(u'\r').remove(u'\n');
    return clean;
}

std::optional<SmtpEndpoint> ParseServer(const QString& server, const QString& defaultPort, QString* error)
{
    auto fail = [error](const QString& why) -> std::optional<SmtpEndpoint> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QString text = HeaderValue(server).trimmed();
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

    static const QRegularExpression hostName(u"^[^\\s/\\\\?#@\\[\\]<>\"']+$"_qs);
    if (host.isEmpty() || !hostName.match(host).hasMatch())
        return fail(u"The mail server name \""_qs + text + u"\" is not valid"_qs);

    static const QRegularExpression digits(u"^\\d{1,5}$"_qs);
    const std::optional<double> port = TextToNumber(portText);
    if (!digits.match(portText).hasMatch() || !port || *port < 1 || *port > 65535)
        return fail(u"The mail server port \""_qs + portText + u"\" is not a number from 1 to 65535"_qs);

    SmtpEndpoint endpoint;
    endpoint.host = host;
    endpoint.port = static_cast<int>(*port);
    endpoint.implicitTls = endpoint.port == 465;
    endpoint.loopback = isLoopback(host);
    return endpoint;
}

QStringList SplitAddresses(const QString& text)
{
    QStringList addresses;
    for (const QString& part : HeaderValue(text).split(u',')) {
        const QString address = part.trimmed();
        if (!address.isEmpty())
            addresses.append(address);
    }
    return addresses;
}

QString EnvelopeAddress(const QString& address)
{
    const QString clean = HeaderValue(address).trimmed();
    const qsizetype open = clean.lastIndexOf(u'<');
    const qsizetype close = clean.lastIndexOf(u'>');
    if (open >= 0 && close > open)
        return clean.mid(open + 1, close - open - 1).trimmed();
    return clean;
}

QByteArray EncodeSubject(const QString& subject)
{
    const QString clean = HeaderValue(subject);
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

QByteArray BuildMessage(const QString& from, const QStringList& to, const QStringList& cc,
    const QString& subject, const QString& body, const QDateTime& date, const QString& messageId)
{
    const QString text = withCrLf(body);
    bool longLine = false;
    for (const QString& line : text.split(u"\r\n"_qs))
        longLine = longLine || line.toUtf8().size() > kMaxLineOctets;
    const bool plain = isAscii(text) && !longLine;

    QByteArray message;
    message += headerLine("Date", date.toString(Qt::RFC2822Date));
    message += headerLine("From", HeaderValue(from).trimmed());
    message += headerLine("To", to.join(u", "_qs));
    if (!cc.isEmpty())
        message += headerLine("Cc", cc.join(u", "_qs));
    message += "Subject: " + EncodeSubject(subject) + "\r\n";
    message += headerLine("Message-ID", u'<' + messageId + u'>');
    message += "MIME-Version: 1.0\r\n";
    message += plain
        ? "Content-Type: text/plain; charset=US-ASCII\r\nContent-Transfer-Encoding: 7bit\r\n"
        : "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
    message += headerLine("X-Mailer", u"Tradevane "_qs + VersionText().section(u' ', 1));
    message += "\r\n";
    message += plain ? text.toLatin1() : quotedPrintable(text.toUtf8());
    return message;
}

} // namespace Smtp

SmtpControl::SmtpControl()
{
    initCurl();
}

SmtpControl::~SmtpControl() = default;

SmtpResult SmtpControl::Send()
{
    if (m_busy)
        return {false, u"Another message is still being sent"_qs};
    if (ProgramEnding())
        return {false, u"The program is ending"_qs};
    QScopedValueRollback busyWhileSending(m_busy, true);

    QString reason;
    const std::optional<SmtpEndpoint> endpoint = Smtp::ParseServer(Host, Port, &reason);
    if (!endpoint)
        return {false, reason};
    const QString from = Smtp::EnvelopeAddress(Sender);
    if (from.isEmpty())
        return {false, u"No sender address is set"_qs};
    const QStringList to = Smtp::SplitAddresses(Recipients);
    const QStringList cc = Smtp::SplitAddresses(CarbonCopy);
    if (to.isEmpty())
        return {false, u"No recipient address is set"_qs};

    const bool login = !LoginName.isEmpty() || !LoginPassword.isEmpty();
    const QString host = endpoint->host.contains(u':') ? u'[' + endpoint->host + u']' : endpoint->host;
    const QString url = (endpoint->implicitTls ? u"smtps://"_qs : u"smtp://"_qs) + host + u':'
        + QString::number(endpoint->port);

    Transfer transfer;
    transfer.message = Smtp::BuildMessage(Sender, to, cc, MessageSubject, MessageText, Now(),
        QUuid::createUuid().toString(QUuid::WithoutBraces) + u'@' + messageIdDomain(Sender));

    std::unique_ptr<CURL, CurlEasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, CurlMultiDeleter> multi(curl_multi_init());
    if (!easy || !multi)
        return {false, u"The mail transfer could not be prepared"_qs};
    CURL* h = easy.get();

    curl_slist* list = nullptr;
    for (const QString& address : to + cc) {
        const QByteArray entry = '<' + Smtp::EnvelopeAddress(address).toUtf8() + '>';
        curl_slist* grown = curl_slist_append(list, entry.constData());
        if (!grown) {
            curl_slist_free_all(list);
            return {false, u"The mail transfer could not be prepared"_qs};
        }
        list = grown;
    }
    const std::unique_ptr<curl_slist, CurlListDeleter> rcpt(list);

    char errorBuffer[CURL_ERROR_SIZE] = {};
    const QByteArray urlBytes = url.toUtf8();
    const QByteArray fromBytes = '<' + from.toUtf8() + '>';
    const QByteArray user = LoginName.toUtf8();
    const QByteArray password = LoginPassword.toUtf8();
    const QByteArray caFile = CaFile.toLocal8Bit();
    curl_easy_setopt(h, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeoutMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(TimeoutMs));
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.isEmpty())
        curl_easy_setopt(h, CURLOPT_CAINFO, caFile.constData());
    // A login must never cross the network in clear text; without one, mail goes encrypted
    // when the server can, and plain otherwise, as it always did on port 25.
    const bool mustEncrypt = endpoint->implicitTls || (login && !endpoint->loopback);
    curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(mustEncrypt ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (login) {
        curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, fromBytes.constData());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(transfer.message.size()));
    curl_easy_setopt(h, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(h, CURLOPT_READDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, watchDialogue);
    curl_easy_setopt(h, CURLOPT_DEBUGDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);

    // Driven through a multi handle so that the windows stay responsive while the server talks.
    const bool neverCancelled = false;
    const CurlRun run = DriveTransfer(multi.get(), h, &neverCancelled, kPollMs);
    if (!run.finished)
        return {false,
            u"The mail transfer failed: "_qs + QString::fromUtf8(curl_multi_strerror(run.multiResult))};
    const CURLcode rc = run.result;
    if (rc == CURLE_OK)
        return {true, {}};
    if (rc == CURLE_USE_SSL_FAILED && login)
        return {false,
            u"The server at "_qs + url
                + u" offers no encryption (STARTTLS), so the user name and password were not sent"_qs};
    QString error = QString::fromUtf8(errorBuffer).trimmed();
    if (error.isEmpty())
        error = QString::fromUtf8(curl_easy_strerror(rc));
    if (!transfer.lastRefusal.isEmpty())
        error += u" (server replied: "_qs + transfer.lastRefusal + u')';
    return {false, error};
}
