#include "uniemens/xml_lines.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <stdexcept>

#include "records/cp1252.h"
#include "records/eight_bytes.h"
#include "records/record_file.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {

constexpr std::size_t kMostPerByte = XmlLines::kMostPerByte;

// Lines are handed to the file in blocks of about this size: few writes for a large
// company, little memory.
constexpr std::size_t kBlock = 256 * 1024;
// Each time the file passes another half megabyte (every other block) the disk is asked to
// start on it while the next lines are made, so that little is left to write when the file
// is pushed to the disk at the end: the disk keeps pace with the lines, and the push waits
// for the last blocks only (a declaration of a thousand employees, about ten megabytes,
// waited for a third of its file with a request every four megabytes).
constexpr std::int64_t kWritebackEvery = 512 * 1024;

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

XmlLines::Tag XmlLines::tag(std::initializer_list<std::string_view> parts, bool endsLine)
{
    Tag made;
    std::size_t size = 0;
    for (std::string_view part : parts) {
        if (size + part.size() + 2 > Tag::kMost)
            throw std::length_error("tag longer than " + std::to_string(Tag::kMost - 2) + " bytes");
        std::memcpy(made.bytes.data() + size, part.data(), part.size());
        size += part.size();
    }
    if (endsLine) {
        made.bytes[size++] = '\r';
        made.bytes[size++] = '\n';
    }
    made.size = static_cast<std::uint8_t>(size);
    return made;
}

XmlLines::XmlLines(records::NewFile& file)
    : m_file(file)
{
    byteForms();
}

namespace {

namespace bytes = records::eight_bytes;

// True when all eight bytes are plain: printable ASCII but the ones XML escapes.
bool allPlain(std::uint64_t eight)
{
    return (eight & bytes::kHighBits) == 0 && !bytes::hasControl(eight) && !bytes::has(eight, '&')
        && !bytes::has(eight, '<') && !bytes::has(eight, '>') && !bytes::has(eight, '"');
}

} // namespace

char* XmlLines::putValue(char* p, std::string_view value, bool attribute)
{
    // Most values are plain ASCII and go in as they stand, eight bytes at a time while they
    // can: only a byte that needs it is looked up.
    const char* const v = value.data();
    const std::size_t size = value.size();
    std::size_t plain = 0;
    for (; plain + 8 <= size; plain += 8) {
        const std::uint64_t eight = bytes::at(v + plain);
        if (!allPlain(eight))
            break;
        std::memcpy(p + plain, &eight, sizeof eight);
    }
    for (; plain < size && plainByte(static_cast<unsigned char>(v[plain])); ++plain)
        p[plain] = v[plain];
    p += plain;
    if (plain == size)
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
    // A full block goes to the file; the lines are made in a block already written.
    if (m_used > 0)
        handOver();
    m_limit = std::max(kBlock, bytes);
    const std::size_t capacity = m_limit + 2 * XmlLines::Tag::kMost;
    if (m_block.capacity == 0)
        m_block = m_writer.take(capacity);
    if (m_block.capacity < capacity) {
        m_block.bytes.reset(new char[capacity]);
        m_block.capacity = capacity;
    }
}

void XmlLines::handOver(bool here)
{
    if (m_used == 0)
        return;
    // Blocks reach the file in order, and a block that fails ends the series before the
    // next one is handed over.
    if (!here && m_writer.failed())
        settle();
    m_block.size = m_used;
    m_block.offset = m_offset;
    m_block.lastLine = static_cast<std::int64_t>(m_lineCount);
    m_block.startWriteback
        = (m_offset + static_cast<std::int64_t>(m_used)) / kWritebackEvery > m_offset / kWritebackEvery;
    m_offset += static_cast<std::int64_t>(m_used);
    m_used = 0;
    // The next line starts a block of its own.
    m_limit = 0;
    if (!here) {
        m_block.descriptor = m_file.duplicateDescriptor();
        if (m_block.descriptor >= 0 && m_writer.write(m_block))
            return;
        if (m_block.descriptor >= 0)
            ::close(m_block.descriptor);
        m_block.descriptor = -1;
    }
    // Written here and now: asked for, no file open (the write says so) or no second thread.
    records::FileResult written = m_file.writeLinesAt(m_block.offset, std::string_view(m_block.bytes.get(), m_block.size),
                                                      m_block.lastLine);
    if (written.failed()) {
        // A block before this one that failed too is the one the operator is told about.
        settle();
        throw SeriesStopped(std::move(written));
    }
    if (m_block.startWriteback)
        m_file.startWriteback();
}

void XmlLines::settle()
{
    // A block that did not reach the file is written again here, where the failure is
    // told, and the series ends; so are the blocks after it, when it is written after all.
    std::vector<BlockWriter::Block> unwritten = m_writer.wait();
    for (std::size_t k = 0; k < unwritten.size(); ++k) {
        const BlockWriter::Block& block = unwritten[k];
        records::FileResult written
            = m_file.writeLinesAt(block.offset, std::string_view(block.bytes.get(), block.size), block.lastLine);
        if (written.failed()) {
            for (BlockWriter::Block& left : unwritten)
                m_writer.giveBack(std::move(left));
            throw SeriesStopped(std::move(written));
        }
    }
    for (BlockWriter::Block& block : unwritten)
        m_writer.giveBack(std::move(block));
}

void XmlLines::flush()
{
    // The caller waits for the lines anyway: the last of them are written here, beside the
    // blocks still on their way, rather than handed over and waited for. A series whose
    // lines fit in one block never starts the writer's thread.
    handOver(true);
    settle();
}

void XmlLines::restart()
{
    // The blocks of an abandoned file still on their way are let go, whatever became of them.
    m_writer.drop();
    m_used = 0;
    m_limit = 0;
    m_offset = 0;
    m_lineCount = 0;
}

} // namespace uniemens
