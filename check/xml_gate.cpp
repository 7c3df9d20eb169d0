#include "check/xml_gate.h"

#include <algorithm>
#include <cstring>

namespace check::uniemens {

namespace {

constexpr std::string_view kComment = "<!--";
constexpr std::string_view kCdata = "<![CDATA[";
constexpr std::string_view kDocumentType = "<!DOCTYPE";
constexpr std::size_t kNamesKept = 3;
constexpr std::size_t kNameLength = 40;

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool XmlGate::counted(std::size_t bytes, std::size_t limit)
{
    if (m_length + bytes <= limit) {
        m_length += bytes;
        return true;
    }
    tooLong(limit);
    return false;
}

void XmlGate::tooLong(std::size_t limit)
{
    m_stopped = true;
    m_event = Event{};
    m_event.kind = Event::Kind::TooLong;
    m_event.line = m_tokenLine;
    m_event.token = m_token;
    m_event.limit = limit;
}

XmlGate::Event XmlGate::takeEvent()
{
    Event event = std::move(m_event);
    m_event = Event{};
    return event;
}

void XmlGate::finish(std::string& out)
{
    // A file that ends in "<" or "<!-": the reader is to see it cut short.
    out += m_head;
    m_head.clear();
}

std::size_t XmlGate::pass(std::string_view in, std::string& out)
{
    std::size_t i = 0;
    const std::size_t n = in.size();
    const auto passOn = [&](std::size_t end) {
        m_line += std::count(in.begin() + static_cast<std::ptrdiff_t>(i), in.begin() + static_cast<std::ptrdiff_t>(end), '\n');
        out.append(in.substr(i, end - i));
        if (end - i >= 2) {
            m_last[0] = in[end - 2];
            m_last[1] = in[end - 1];
        } else if (end > i) {
            m_last[0] = m_last[1];
            m_last[1] = in[end - 1];
        }
        i = end;
    };
    const auto textFollows = [&] {
        m_state = State::Text;
        m_token = Token::Text;
        m_length = 0;
        m_tokenLine = m_line;
    };
    while (i < n && !m_stopped && m_event.kind == Event::Kind::None) {
        switch (m_state) {
        case State::Text: {
            const void* open = std::memchr(in.data() + i, '<', n - i);
            const std::size_t end = open ? static_cast<std::size_t>(static_cast<const char*>(open) - in.data()) : n;
            if (!counted(end - i, kTokenLimit))
                return i;
            passOn(end);
            if (open) {
                ++i;
                m_head = "<";
                m_tokenLine = m_line;
                m_state = State::Open;
            }
            break;
        }
        case State::Open: {
            const char c = in[i];
            if (c == '!') {
                m_head += c;
                ++i;
                m_state = State::Bang;
                break;
            }
            out += m_head;
            m_head.clear();
            m_length = 1;
            m_quote = 0;
            m_afterEquals = false;
            m_last[0] = m_last[1] = 0;
            if (c == '?') {
                m_state = State::Instruction;
                m_token = Token::Instruction;
            } else if (c == '/') {
                m_state = State::EndTag;
                m_token = Token::EndTag;
            } else {
                m_state = State::StartTag;
                m_token = Token::StartTag;
                m_rootSeen = true;
            }
            break;
        }
        case State::Bang: {
            const char c = in[i++];
            if (c == '\n')
                ++m_line;
            m_head += c;
            const bool documentType = !m_rootSeen && kDocumentType.starts_with(m_head);
            m_last[0] = m_last[1] = 0;
            if (m_head == kComment || m_head == kCdata) {
                m_state = m_head == kComment ? State::Comment : State::Cdata;
                m_token = m_head == kComment ? Token::Comment : Token::Cdata;
            } else if (documentType && m_head == kDocumentType) {
                m_state = State::DocumentType;
                m_token = Token::DocumentType;
                m_length = m_head.size();
                m_head.clear();
                m_documentType = Event{};
                m_documentType.kind = Event::Kind::DocumentType;
                m_documentType.line = m_tokenLine;
                m_inside = Inside::Head;
                m_quote = 0;
                m_inComment = m_inInstruction = m_readingName = false;
                m_recent = 0;
                break;
            } else if (documentType || kComment.starts_with(m_head) || kCdata.starts_with(m_head)) {
                break; // not known yet
            } else {
                m_state = State::Declaration;
                m_token = Token::Declaration;
                m_quote = 0;
                m_afterEquals = true; // a quote anywhere opens a literal
            }
            m_length = m_head.size();
            out += m_head;
            m_head.clear();
            break;
        }
        case State::StartTag:
        case State::EndTag:
        case State::Declaration: {
            // A tag ends at the first ">" outside the quotes of an attribute's value.
            std::size_t j = i;
            bool closed = false;
            for (; j < n; ++j) {
                const char c = in[j];
                if (m_quote != 0) {
                    if (c == m_quote)
                        m_quote = 0;
                } else if (c == '>') {
                    closed = true;
                    break;
                } else if ((c == '"' || c == '\'') && m_afterEquals && m_state != State::EndTag) {
                    m_quote = c;
                } else if (c == '=') {
                    m_afterEquals = true;
                } else if (!blank(c) && m_state == State::StartTag) {
                    m_afterEquals = false;
                }
            }
            const std::size_t end = closed ? j + 1 : n;
            if (!counted(end - i, kTagLimit))
                return i;
            passOn(end);
            if (closed)
                textFollows();
            break;
        }
        case State::Instruction:
        case State::Comment:
        case State::Cdata: {
            std::size_t j = i;
            bool closed = false;
            while (j < n && !closed) {
                const void* gt = std::memchr(in.data() + j, '>', n - j);
                if (!gt) {
                    j = n;
                    break;
                }
                const auto at = static_cast<std::size_t>(static_cast<const char*>(gt) - in.data());
                // The two bytes before the ">", from this piece or the one before.
                const char b1 = at >= i + 1 ? in[at - 1] : m_last[1];
                const char b2 = at >= i + 2 ? in[at - 2] : at == i + 1 ? m_last[1] : m_last[0];
                closed = m_state == State::Instruction ? b1 == '?'
                         : m_state == State::Comment   ? b1 == '-' && b2 == '-'
                                                       : b1 == ']' && b2 == ']';
                j = at + 1;
            }
            if (!counted(j - i, kTokenLimit))
                return i;
            passOn(j);
            if (closed)
                textFollows();
            break;
        }
        case State::DocumentType:
            while (i < n && m_state == State::DocumentType) {
                if (!counted(1, kTokenLimit))
                    return i;
                documentTypeByte(in[i++], out);
            }
            break;
        }
    }
    return i;
}

bool XmlGate::recent(std::string_view text) const
{
    std::uint64_t word = 0;
    for (const char c : text)
        word = word << 8 | static_cast<unsigned char>(c);
    const std::uint64_t mask = text.size() >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * text.size())) - 1;
    return (m_recent & mask) == word;
}

void XmlGate::documentTypeByte(char c, std::string& out)
{
    m_recent = m_recent << 8 | static_cast<unsigned char>(c);
    if (c == '\n') {
        ++m_line;
        out += '\n'; // the reader counts the lines after it as the file does
    }
    const auto ended = [&] {
        ++m_documentTypes;
        m_event = std::move(m_documentType);
        m_documentType = Event{};
        m_state = State::Text;
        m_token = Token::Text;
        m_length = 0;
        m_tokenLine = m_line;
    };
    switch (m_inside) {
    case Inside::Head:
        if (m_quote != 0) {
            if (c == m_quote)
                m_quote = 0;
        } else if (c == '"' || c == '\'') {
            m_quote = c;
        } else if (c == '[') {
            m_inside = Inside::Subset;
        } else if (c == '>') {
            ended();
        } else if (recent("SYSTEM") || recent("PUBLIC")) {
            m_documentType.external = true;
        }
        break;
    case Inside::Subset:
        if (m_inComment) {
            m_inComment = !recent("-->");
        } else if (m_inInstruction) {
            m_inInstruction = !recent("?>");
        } else if (m_quote != 0) {
            if (c == m_quote)
                m_quote = 0;
        } else if (m_readingName) {
            // "<!ENTITY name" or "<!ENTITY % name", a parameter entity
            const bool started = !m_name.empty() && m_name != "%";
            if (!started && blank(c)) {
            } else if (m_name.empty() && c == '%') {
                m_name = "%";
            } else if (blank(c) || c == '"' || c == '\'' || c == '>') {
                if (started && m_documentType.names.size() < kNamesKept)
                    m_documentType.names.push_back(m_name);
                m_readingName = false;
                if (c == '"' || c == '\'')
                    m_quote = c;
            } else if (m_name.size() < kNameLength) {
                m_name += c;
            }
        } else if (c == '"' || c == '\'') {
            m_quote = c;
        } else if (c == ']') {
            m_inside = Inside::Tail;
        } else if (recent(kComment)) {
            m_inComment = true;
        } else if (recent("<?")) {
            m_inInstruction = true;
        } else if (recent("<!ENTITY")) {
            ++m_documentType.entities;
            m_readingName = true;
            m_name.clear();
        }
        break;
    case Inside::Tail:
        if (c == '>')
            ended();
        break;
    }
}

} // namespace check::uniemens
