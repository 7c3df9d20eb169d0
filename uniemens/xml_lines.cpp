#include "uniemens/xml_lines.h"

#include <unistd.h>

#include <algorithm>
#include <array>

#include "records/cp1252.h"
#include "records/record_file.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {

// Lines are handed to the file in blocks of about this size: few writes for a large
// company, little memory.
constexpr std::size_t kBlock = 256 * 1024;
// Every few megabytes the disk is asked to start on the file while the next lines are made,
// so that little is left to write when the file is pushed to the disk at the end.
constexpr std::int64_t kWritebackEvery = 4 * 1024 * 1024;
// The most bytes one byte of a value can become: "&quot;".
constexpr std::size_t kMostPerByte = 6;

// What each byte of a value becomes, in element text and in an attribute value.
struct ByteForm {
    char bytes[kMostPerByte];
    unsigned char size;
};
struct ByteForms {
    std::array<ByteForm, 256> text;
    std::array<ByteForm, 256> attribute;
};

ByteForm formOf(std::string_view bytes)
{
    ByteForm form{};
    std::memcpy(form.bytes, bytes.data(), bytes.size());
    form.size = static_cast<unsigned char>(bytes.size());
    return form;
}

const ByteForms& byteForms()
{
    static const ByteForms forms = [] {
        ByteForms f;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const std::string utf8 = b < 32 ? std::string(" ") : records::cp1252ToUtf8(std::string_view(&byte, 1));
            f.text[static_cast<std::size_t>(b)] = f.attribute[static_cast<std::size_t>(b)] = formOf(utf8);
        }
        f.text['&'] = f.attribute['&'] = formOf("&amp;");
        f.text['<'] = f.attribute['<'] = formOf("&lt;");
        f.text['>'] = f.attribute['>'] = formOf("&gt;");
        f.attribute['"'] = formOf("&quot;");
        return f;
    }();
    return forms;
}

// The bytes that a value keeps as they stand: printable ASCII but the ones XML escapes.
constexpr std::array<bool, 256> kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 32; c < 128; ++c)
        plain[static_cast<std::size_t>(c)] = c != '&' && c != '<' && c != '>' && c != '"';
    return plain;
}();

bool plainByte(unsigned char c)
{
    return kPlain[c];
}

} // namespace

XmlLines::XmlLines(records::NewFile& file)
    : m_file(file)
{
    byteForms();
}

char* XmlLines::putValue(char* p, std::string_view value, bool attribute)
{
    // Most values are plain ASCII and go in as they stand.
    std::size_t plain = 0;
    while (plain < value.size() && plainByte(static_cast<unsigned char>(value[plain])))
        ++plain;
    p = put(p, value.substr(0, plain));
    if (plain == value.size())
        return p;
    const auto& forms = attribute ? byteForms().attribute : byteForms().text;
    for (const char c : value.substr(plain)) {
        const auto byte = static_cast<unsigned char>(c);
        if (plainByte(byte)) {
            *p++ = c;
        } else {
            const ByteForm& form = forms[byte];
            std::memcpy(p, form.bytes, form.size);
            p += form.size;
        }
    }
    return p;
}

void XmlLines::open(std::string_view element)
{
    char* p = room(element.size() + 4);
    *p++ = '<';
    p = put(p, element);
    *p++ = '>';
    endLine(p);
}

void XmlLines::element(std::string_view element, std::string_view value)
{
    char* p = room(2 * element.size() + kMostPerByte * value.size() + 7);
    *p++ = '<';
    p = put(p, element);
    *p++ = '>';
    p = putValue(p, value, false);
    *p++ = '<';
    *p++ = '/';
    p = put(p, element);
    *p++ = '>';
    endLine(p);
}

void XmlLines::openWithAttribute(std::string_view element, std::string_view attribute, std::string_view value)
{
    char* p = room(element.size() + attribute.size() + kMostPerByte * value.size() + 8);
    *p++ = '<';
    p = put(p, element);
    *p++ = ' ';
    p = put(p, attribute);
    p = put(p, "=\"");
    p = putValue(p, value, true);
    p = put(p, "\">");
    endLine(p);
}

void XmlLines::elementWithAttribute(std::string_view element, std::string_view attribute,
                                    std::string_view attributeValue, std::string_view value)
{
    char* p = room(2 * element.size() + attribute.size() + kMostPerByte * (attributeValue.size() + value.size()) + 11);
    *p++ = '<';
    p = put(p, element);
    *p++ = ' ';
    p = put(p, attribute);
    p = put(p, "=\"");
    p = putValue(p, attributeValue, true);
    p = put(p, "\">");
    p = putValue(p, value, false);
    *p++ = '<';
    *p++ = '/';
    p = put(p, element);
    *p++ = '>';
    endLine(p);
}

void XmlLines::makeRoom(std::size_t bytes)
{
    // A full block goes to the file; the lines are made in the buffer it leaves.
    if (m_used > 0)
        handOver();
    // The buffer's bytes are overwritten line by line; growing it only fills its new tail.
    m_buffer.resize(std::max(kBlock, bytes));
}

void XmlLines::handOver()
{
    if (m_used == 0)
        return;
    // Blocks reach the file in order, and a block that fails ends the series before the
    // next one is written.
    settle();
    m_buffer.resize(m_used);
    const std::int64_t offset = m_offset;
    m_writtenSinceWriteback += static_cast<std::int64_t>(m_used);
    const bool writeback = m_writtenSinceWriteback >= kWritebackEvery;
    if (writeback)
        m_writtenSinceWriteback = 0;
    m_offset += static_cast<std::int64_t>(m_used);
    m_used = 0;
    const int descriptor = m_file.duplicateDescriptor();
    if (descriptor >= 0 && m_behind.write(descriptor, m_buffer, offset, writeback)) {
        m_behindBusy = true;
        m_behindOffset = offset;
        m_behindLines = m_lineCount;
        return;
    }
    if (descriptor >= 0)
        ::close(descriptor);
    // No file open (the write says so) or no second thread: written here and now.
    writeNow(m_buffer, offset, m_lineCount);
    m_buffer.clear();
    if (writeback)
        m_file.startWriteback();
}

void XmlLines::settle()
{
    if (!m_behindBusy)
        return;
    m_behindBusy = false;
    if (m_behind.wait())
        return;
    // The block did not reach the file: it is written again here, where the failure is
    // told, and the series ends.
    writeNow(m_behind.lastBlock(), m_behindOffset, m_behindLines);
}

void XmlLines::writeNow(std::string& block, std::int64_t offset, double lines)
{
    records::FileResult written = m_file.writeLinesAt(offset, block, static_cast<std::int64_t>(lines));
    if (written.failed())
        throw SeriesStopped(std::move(written));
}

void XmlLines::flush()
{
    handOver();
    settle();
}

void XmlLines::restart()
{
    // A block of an abandoned file may still be on its way: it is let go, whatever became of it.
    if (m_behindBusy) {
        m_behind.wait();
        m_behindBusy = false;
    }
    m_used = 0;
    m_offset = 0;
    m_lineCount = 0;
    m_writtenSinceWriteback = 0;
}

} // namespace uniemens
