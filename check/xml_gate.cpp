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

XmlGate::Opens XmlGate::opens(std::string_view head) const
{
    if (head.size() < 2)
        return Opens::More;
    if (head[1] == '?')
        return Opens::Instruction;
    if (head[1] == '/')
        return Opens::EndTag;
    if (head[1] != '!')
        return Opens::StartTag;
    const auto begins = [&](std::string_view word) {
        const std::size_t common = std::min(head.size(), word.size());
        return head.substr(0, common) == word.substr(0, common);
    };
    if (begins(kComment))
        return head.size() >= kComment.size() ? Opens::Comment : Opens::More;
    if (begins(kCdata))
        return head.size() >= kCdata.size() ? Opens::Cdata : Opens::More;
    if (!m_rootSeen && begins(kDocumentType))
        return head.size() >= kDocumentType.size() ? Opens::DocumentType : Opens::More;
    return Opens::Declaration;
}

std::size_t XmlGate::pass(std::string_view in, std::string& out)
{
    const char* const data = in.data();
    const std::size_t n = in.size();
    std::size_t i = 0;
    // The bytes from `run` to `i` are passed on as they are, in one piece where possible.
    std::size_t run = 0;
    const auto flush = [&](std::size_t to) {
        if (to > run)
            out.append(data + run, to - run);
        run = to;
    };
    // Lines are counted once for the piece, as far as asked.
    std::size_t countedTo = 0;
    long long lines = m_line;
    const auto lineAt = [&](std::size_t at) {
        if (at < countedTo) {
            countedTo = 0;
            lines = m_line;
        }
        lines += std::count(data + countedTo, data + at, '\n');
        countedTo = at;
        return lines;
    };
    // Where the token being read starts in this piece; npos when it started before it.
    std::size_t tokenAt = std::string_view::npos;
    const auto tokenLine = [&] { return tokenAt == std::string_view::npos ? m_tokenLine : lineAt(tokenAt); };
    // Where the body of a comment, instruction or CDATA section starts in this piece.
    std::size_t bodyAt = std::string_view::npos;
    const auto bodyByte = [&](std::size_t at, std::size_t back) -> char {
        const std::size_t from = bodyAt == std::string_view::npos ? 0 : bodyAt;
        if (at >= from + back)
            return data[at - back];
        if (bodyAt != std::string_view::npos)
            return 0;
        const std::size_t behind = back - (at - from); // 1 or 2 bytes into the piece before
        return behind == 1 ? m_last[1] : behind == 2 ? m_last[0] : 0;
    };
    const auto tooLong = [&](std::size_t limit) {
        m_stopped = true;
        m_event = Event{};
        m_event.kind = Event::Kind::TooLong;
        m_event.line = tokenLine();
        m_event.token = m_token;
        m_event.limit = limit;
    };
    // Takes `bytes` more of the token, as far as `limit` allows; passed on when `pass`.
    const auto grow = [&](std::size_t bytes, std::size_t limit, bool passOn) {
        if (m_length + bytes <= limit) {
            m_length += bytes;
            i += bytes;
            return true;
        }
        // The reader sees as much as a real token could hold: what it finds wrong in it
        // comes before the limit.
        i += limit - m_length;
        if (passOn)
            flush(i);
        tooLong(limit);
        return false;
    };
    const auto textFollows = [&] {
        m_state = State::Text;
        m_token = Token::Text;
        m_length = 0;
        tokenAt = i;
    };
    // The token that `head`, starting at `at` in this piece (npos: held from the piece before),
    // opens; `i` is past the head.
    const auto enter = [&](Opens what, std::size_t at, std::size_t headLength) {
        tokenAt = at;
        m_length = headLength;
        m_quote = 0;
        bodyAt = i;
        m_last[0] = m_last[1] = 0;
        switch (what) {
        case Opens::StartTag:
            m_rootSeen = true;
            m_state = State::StartTag;
            m_token = Token::StartTag;
            break;
        case Opens::EndTag: m_state = State::EndTag; m_token = Token::EndTag; break;
        case Opens::Instruction: m_state = State::Instruction; m_token = Token::Instruction; break;
        case Opens::Comment: m_state = State::Comment; m_token = Token::Comment; break;
        case Opens::Cdata: m_state = State::Cdata; m_token = Token::Cdata; break;
        case Opens::Declaration: m_state = State::Declaration; m_token = Token::Declaration; break;
        case Opens::DocumentType:
            m_state = State::DocumentType;
            m_token = Token::DocumentType;
            m_documentType = Event{};
            m_documentType.kind = Event::Kind::DocumentType;
            m_inside = Inside::Head;
            m_inComment = m_inInstruction = m_readingName = false;
            m_recent = 0;
            break;
        case Opens::More: break;
        }
    };

    while (i < n && !m_stopped && m_event.kind == Event::Kind::None) {
        switch (m_state) {
        case State::Text: {
            const void* open = std::memchr(data + i, '<', n - i);
            const std::size_t end = open ? static_cast<std::size_t>(static_cast<const char*>(open) - data) : n;
            if (!grow(end - i, kTokenLimit, true) || !open)
                break;
            const std::string_view head = in.substr(end, kCdata.size());
            const Opens what = opens(head);
            if (what == Opens::More) {
                // The piece ends before it tells: the head waits for the next one.
                flush(end);
                m_head.assign(head);
                m_tokenLine = lineAt(end);
                tokenAt = std::string_view::npos;
                m_state = State::Open;
                i = run = n;
                break;
            }
            const std::size_t headLength = what == Opens::Comment   ? kComment.size()
                                           : what == Opens::Cdata   ? kCdata.size()
                                           : what == Opens::DocumentType ? kDocumentType.size()
                                           : what == Opens::Instruction  ? 2
                                                                         : 1;
            if (what == Opens::DocumentType)
                flush(end); // left out
            i = end + headLength;
            enter(what, end, headLength);
            break;
        }
        case State::Open: {
            // The head of a token held from the piece before.
            Opens what = Opens::More;
            while (i < n && (what = opens(m_head)) == Opens::More)
                m_head += data[i++];
            if (what == Opens::More && (what = opens(m_head)) == Opens::More)
                break;
            if (what != Opens::DocumentType)
                out += m_head;
            run = i;
            enter(what, std::string_view::npos, m_head.size());
            m_head.clear();
            break;
        }
        case State::StartTag:
        case State::EndTag:
        case State::Declaration: {
            // A tag ends at the first ">" outside the quotes of an attribute's value.
            std::size_t j = i;
            bool closed = false;
            const void* gt = m_quote == 0 ? std::memchr(data + i, '>', n - i) : nullptr;
            const std::size_t at = gt ? static_cast<std::size_t>(static_cast<const char*>(gt) - data) : n;
            // Most tags have no quote before their ">": found without looking at each byte.
            if (gt && (m_state == State::EndTag
                       || (!std::memchr(data + i, '"', at - i) && !std::memchr(data + i, '\'', at - i)))) {
                j = at;
                closed = true;
            } else if (m_state == State::EndTag) {
                j = n;
            } else {
                for (; j < n; ++j) {
                    const char c = data[j];
                    if (m_quote != 0) {
                        if (c == m_quote)
                            m_quote = 0;
                    } else if (c == '>') {
                        closed = true;
                        break;
                    } else if (c == '"' || c == '\'') {
                        m_quote = c;
                    }
                }
            }
            if (!grow((closed ? j + 1 : n) - i, kTagLimit, true))
                break;
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
                const void* gt = std::memchr(data + j, '>', n - j);
                if (!gt) {
                    j = n;
                    break;
                }
                const auto at = static_cast<std::size_t>(static_cast<const char*>(gt) - data);
                const char b1 = bodyByte(at, 1);
                const char b2 = bodyByte(at, 2);
                closed = m_state == State::Instruction ? b1 == '?'
                         : m_state == State::Comment   ? b1 == '-' && b2 == '-'
                                                       : b1 == ']' && b2 == ']';
                j = at + 1;
            }
            if (!closed && j > i) {
                // The body goes on in the next piece: its last two bytes are kept for the end.
                const char last1 = bodyByte(j, 1);
                const char last0 = bodyByte(j, 2);
                m_last[0] = last0;
                m_last[1] = last1;
            }
            if (!grow(j - i, kTokenLimit, true))
                break;
            if (closed)
                textFollows();
            break;
        }
        case State::DocumentType:
            while (i < n && m_state == State::DocumentType) {
                const std::size_t at = i;
                if (!grow(1, kTokenLimit, false))
                    break;
                documentTypeByte(data[at], out);
            }
            if (m_state != State::DocumentType) {
                // Ended: what follows is passed on from here.
                ++m_documentTypes;
                m_documentType.line = tokenLine();
                m_event = std::move(m_documentType);
                m_documentType = Event{};
                run = i;
                textFollows();
            } else {
                run = i;
            }
            break;
        }
    }
    if (m_state != State::DocumentType && m_state != State::Open && !m_stopped)
        flush(i);
    if (tokenAt != std::string_view::npos)
        m_tokenLine = lineAt(tokenAt);
    m_line = lineAt(i);
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
    if (c == '\n')
        out += '\n'; // the reader counts the lines after it as the file does
    const auto ended = [&] { m_state = State::Text; };
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
