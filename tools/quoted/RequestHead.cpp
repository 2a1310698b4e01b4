#include "RequestHead.h"

#include <algorithm>

namespace tradevane::market {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view name, std::string_view lowerCase)
{
    return name.size() == lowerCase.size()
        && std::equal(name.begin(), name.end(), lowerCase.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

// The request line as far as it came, without its line end.
std::string_view requestLine(std::string_view received)
{
    return received.substr(0, std::min(received.find('\n'), received.find('\r')));
}

} // namespace

RequestHead::RequestHead(std::size_t maxBytes, int maxHeaderLines)
    : m_maxBytes(maxBytes)
    , m_maxHeaderLines(maxHeaderLines)
{ }

RequestHead::State RequestHead::scan(std::string_view received)
{
    while (m_state == State::Incomplete) {
        const std::size_t newline = received.find('\n', m_scanned);
        const std::size_t end = newline == std::string_view::npos ? received.size() : newline + 1;
        if (end > m_maxBytes) {
            m_state = m_requestLineDone ? State::TooLarge : State::LineTooLong;
            break;
        }
        if (newline == std::string_view::npos) {
            m_scanned = received.size();
            break;
        }
        const std::string_view line = received.substr(m_lineStart, end - m_lineStart);
        m_lineStart = m_scanned = end;
        if (!m_requestLineDone) {
            m_requestLineDone = true;
            if (!line.ends_with("\r\n")) {
                m_length = end;
                m_state = State::Complete;
            }
        } else if (line == "\r\n") {
            m_length = end;
            m_state = State::Complete;
        } else if (++m_headerLines > m_maxHeaderLines) {
            m_state = State::TooManyLines;
        } else {
            noteHeader(line);
        }
    }
    return m_state;
}

void RequestHead::noteHeader(std::string_view line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return;
    const std::string_view name = trimmed(line.substr(0, colon));
    const std::string_view value = trimmed(line.substr(colon + 1));
    if (sameName(name, "transfer-encoding"))
        m_announcesBody = true;
    // Anything but a plain zero may mean a body: the library would read "0x10" as 0, a proxy in
    // front of it perhaps not.
    if (sameName(name, "content-length")
        && (value.empty() || value.find_first_not_of('0') != std::string_view::npos))
        m_announcesBody = true;
}

void RequestHead::restart()
{
    *this = RequestHead(m_maxBytes, m_maxHeaderLines);
}

std::string_view RequestHead::method(std::string_view received)
{
    const std::string_view line = requestLine(received);
    return line.substr(0, line.find(' '));
}

std::string_view RequestHead::target(std::string_view received)
{
    const std::string_view line = requestLine(received);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return {};
    const std::string_view rest = line.substr(space + 1);
    return rest.substr(0, rest.find(' '));
}

} // namespace tradevane::market
