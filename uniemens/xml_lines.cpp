#include "uniemens/xml_lines.h"

#include <array>

#include "records/channels.h"
#include "records/cp1252.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {

// Lines are handed to the channel in pieces of about this size: few enough writes for a
// large company, little memory.
constexpr std::size_t kHandOver = 256 * 1024;

struct ByteForms {
    std::array<std::string, 256> text;      // in element text
    std::array<std::string, 256> attribute; // in an attribute value
};

const ByteForms& byteForms()
{
    static const ByteForms forms = [] {
        ByteForms f;
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            std::string utf8 = b < 32 ? std::string(" ") : records::cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(&byte), 1));
            f.text[static_cast<std::size_t>(b)] = utf8;
            f.attribute[static_cast<std::size_t>(b)] = utf8;
        }
        f.text['&'] = f.attribute['&'] = "&amp;";
        f.text['<'] = f.attribute['<'] = "&lt;";
        f.text['>'] = f.attribute['>'] = "&gt;";
        f.attribute['"'] = "&quot;";
        return f;
    }();
    return forms;
}

bool plainByte(unsigned char c)
{
    return c >= 32 && c < 128 && c != '&' && c != '<' && c != '>' && c != '"';
}

} // namespace

XmlLines::XmlLines(records::Channels& channels, int channel)
    : m_channels(channels)
    , m_channel(channel)
{
    m_pending.reserve(kHandOver + 4096);
}

void XmlLines::appendValue(std::string_view value, bool attribute)
{
    // Most values are plain ASCII and go in as they stand.
    std::size_t plain = 0;
    while (plain < value.size() && plainByte(static_cast<unsigned char>(value[plain])))
        ++plain;
    m_pending.append(value.data(), plain);
    if (plain == value.size())
        return;
    const auto& forms = attribute ? byteForms().attribute : byteForms().text;
    for (const char c : value.substr(plain)) {
        const auto byte = static_cast<unsigned char>(c);
        if (plainByte(byte))
            m_pending.push_back(c);
        else
            m_pending += forms[byte];
    }
}

void XmlLines::endLine()
{
    m_pending += "\r\n";
    ++m_lineCount;
    if (m_pending.size() >= kHandOver)
        flush();
}

void XmlLines::fixed(std::string_view line)
{
    m_pending += line;
    endLine();
}

void XmlLines::open(std::string_view element)
{
    m_pending += '<';
    m_pending += element;
    m_pending += '>';
    endLine();
}

void XmlLines::close(std::string_view element)
{
    m_pending += "</";
    m_pending += element;
    m_pending += '>';
    endLine();
}

void XmlLines::element(std::string_view element, std::string_view value)
{
    m_pending += '<';
    m_pending += element;
    m_pending += '>';
    appendValue(value, false);
    m_pending += "</";
    m_pending += element;
    m_pending += '>';
    endLine();
}

void XmlLines::openWithAttribute(std::string_view element, std::string_view attribute, std::string_view value)
{
    m_pending += '<';
    m_pending += element;
    m_pending += ' ';
    m_pending += attribute;
    m_pending += "=\"";
    appendValue(value, true);
    m_pending += "\">";
    endLine();
}

void XmlLines::elementWithAttribute(std::string_view element, std::string_view attribute,
                                    std::string_view attributeValue, std::string_view value)
{
    m_pending += '<';
    m_pending += element;
    m_pending += ' ';
    m_pending += attribute;
    m_pending += "=\"";
    appendValue(attributeValue, true);
    m_pending += "\">";
    appendValue(value, false);
    m_pending += "</";
    m_pending += element;
    m_pending += '>';
    endLine();
}

void XmlLines::flush()
{
    if (m_pending.empty())
        return;
    // Write line adds the CR LF of the last line itself.
    records::Channel& channel = m_channels.channel(m_channel);
    channel.outputBuffer.swap(m_pending);
    channel.outputBuffer.resize(channel.outputBuffer.size() - 2);
    m_channels.setCurrent(m_channel);
    m_channels.setLineCounter(m_lineCount);
    m_channels.writeLine();
    m_pending.swap(channel.outputBuffer);
    m_pending.clear();
    if (m_channels.lastError() != 0)
        throw SeriesStopped(); // the channel has shown its message
}

} // namespace uniemens
