#pragma once

#include <cstddef>
#include <string_view>

namespace tradevane::market {

// Follows the head of one HTTP request (the request line and the header lines up to the blank
// line) while its bytes come in, so that the service can tell a complete head, one that is too
// large, and one that announces a body, before the HTTP library reads any of it. Each call looks
// only at the bytes added since the previous one. Lines end as the library ends them: at '\n', the
// head at the first line that is exactly "\r\n"; a request line without "\r\n" is a head of its
// own (the library answers it with 400 without reading further).
class RequestHead
{
public:
    enum class State {
        Incomplete,
        Complete,
        LineTooLong, // the request line alone is longer than the head may be
        TooLarge, // request line and headers are longer than the head may be
        TooManyLines, // more header lines than allowed
    };

    RequestHead(std::size_t maxBytes, int maxHeaderLines);

    // `received` begins with this head and holds at least the bytes of the previous call.
    State scan(std::string_view received);
    State state() const { return m_state; }
    // The bytes of a complete head, its blank line included.
    std::size_t length() const { return m_length; }
    // A Content-Length other than 0, or any Transfer-Encoding, among the headers so far.
    bool announcesBody() const { return m_announcesBody; }
    // For the next request on the same connection, whose bytes start where this head ended.
    void restart();

    // The first two words of the request line (method and target), as far as `received` holds
    // them.
    static std::string_view method(std::string_view received);
    static std::string_view target(std::string_view received);

private:
    void noteHeader(std::string_view line);

    std::size_t m_maxBytes;
    int m_maxHeaderLines;
    State m_state = State::Incomplete;
    std::size_t m_lineStart = 0; // where the line being received begins
    std::size_t m_scanned = 0; // bytes already searched for the end of that line
    bool m_requestLineDone = false;
    int m_headerLines = 0;
    std::size_t m_length = 0;
    bool m_announcesBody = false;
};

} // namespace tradevane::market
