#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <initializer_list>
#include <string_view>

#include "uniemens/block_writer.h"

namespace records {
class NewFile;
}

namespace uniemens {

// The lines of a UniEmens XML file, one element or tag per line, each ended by CR LF, for a
// new file of lines. Values taken from the payroll files
// are Windows-1252 bytes: they are written in UTF-8, with "&", "<" and ">" escaped (and the
// double quote in attribute values), and any control character as a blank. The program's own
// fixed lines are written as they stand.
//
// Lines are gathered and handed to the file a few hundred kilobytes at a time, written on a
// thread of their own while the next lines are made; the last ones, which the caller waits
// for, are written on its own thread, and a file that fits in one block never starts the
// other. The file holds the same bytes as with one write per line. A write that fails is
// made again in the foreground and throws SeriesStopped with its failure (naming the last
// line of the block).
class XmlLines {
public:
    // The most bytes one byte of a value can become: "&quot;".
    static constexpr std::size_t kMostPerByte = 6;
    // A few bytes of the program's own made once, for the lines written most: a start tag
    // ("<Cognome>"), an end tag with its line end ("</Cognome>" CR LF), or a whole line. They
    // are copied as a block of fixed size, which takes no more time than a call of memcpy
    // and no decision on their length.
    struct Tag {
        static constexpr std::size_t kMost = 64;
        std::array<char, kMost> bytes{};
        std::uint8_t size = 0;
    };
    // The tag of the bytes `parts` one after the other; `endsLine` adds CR LF. Throws
    // std::length_error when they do not fit.
    static Tag tag(std::initializer_list<std::string_view> parts, bool endsLine);

    explicit XmlLines(records::NewFile& file);
    XmlLines(const XmlLines&) = delete;
    XmlLines& operator=(const XmlLines&) = delete;

    // A whole line made once ("<Settimana>", CR LF).
    void line(const Tag& whole)
    {
        char* p = room(whole.size);
        lineWritten(putTag(p, whole));
    }
    // Whole lines made once, one after the other: `whole` holds them all, `each` each of
    // them. A block ends between two lines as if they had been written one by one.
    void lines(const Tag& whole, std::initializer_list<const Tag*> each)
    {
        if (m_limit - m_used < whole.size) {
            for (const Tag* one : each)
                line(*one);
            return;
        }
        char* p = putTag(m_block.bytes.get() + m_used, whole);
        m_used = static_cast<std::size_t>(p - m_block.bytes.get());
        m_lineCount += static_cast<double>(each.size());
    }
    // start, `value` as an element's text, end (which ends the line).
    void element(const Tag& start, std::string_view value, const Tag& end)
    {
        char* p = room(start.size + kMostPerByte * value.size() + end.size);
        p = putTag(p, start);
        p = putValue(p, value, false);
        lineWritten(putTag(p, end));
    }

    // A line of the program's own, as it stands ("<DenunceMensili>", "</Giorno>").
    void fixed(std::string_view line)
    {
        char* p = room(line.size() + 2);
        p = put(p, line);
        endLine(p);
    }
    void open(std::string_view element); // "<element>"
    void close(std::string_view element) // "</element>"
    {
        char* p = room(element.size() + 5);
        *p++ = '<';
        *p++ = '/';
        p = put(p, element);
        *p++ = '>';
        endLine(p);
    }
    // "<element>value</element>", also for an empty value (never self-closing).
    void element(std::string_view element, std::string_view value);
    // "<element attribute="value">"
    void openWithAttribute(std::string_view element, std::string_view attribute, std::string_view value);
    // "<element attribute="attributeValue">value</element>"
    void elementWithAttribute(std::string_view element, std::string_view attribute, std::string_view attributeValue,
                              std::string_view value);

    // Puts every line gathered so far in the file and waits until it is there. Throws
    // SeriesStopped after a failed write.
    void flush();
    // Lines gathered since the file was started.
    double lineCount() const { return m_lineCount; }
    // Forgets what is gathered and what is being written, for a new file.
    void restart();

private:
    // Room for `bytes` more bytes at the end of the lines gathered: where to write them. A
    // block is handed to the file when the next line may not fit in it; beyond the block
    // there is room for a tag's fixed copy.
    char* room(std::size_t bytes)
    {
        if (m_limit - m_used < bytes)
            makeRoom(bytes);
        return m_block.bytes.get() + m_used;
    }
    // Copies the tag's bytes, and as many after them as make up the fixed block: room() has
    // left space for them, and the next bytes written replace them.
    static char* putTag(char* p, const Tag& tag)
    {
        // Most tags take the first half.
        std::memcpy(p, tag.bytes.data(), Tag::kMost / 2);
        if (tag.size > Tag::kMost / 2)
            std::memcpy(p + Tag::kMost / 2, tag.bytes.data() + Tag::kMost / 2, Tag::kMost / 2);
        return p + tag.size;
    }
    void makeRoom(std::size_t bytes);
    static char* put(char* p, std::string_view text)
    {
        std::memcpy(p, text.data(), text.size());
        return p + text.size();
    }
    // Writes `value` escaped and in UTF-8; `room()` must have given 6 bytes per byte of it.
    static char* putValue(char* p, std::string_view value, bool attribute);
    void endLine(char* p)
    {
        *p++ = '\r';
        *p++ = '\n';
        m_used = static_cast<std::size_t>(p - m_block.bytes.get());
        ++m_lineCount;
    }
    // The end of a line whose CR LF is already written.
    void lineWritten(char* p)
    {
        m_used = static_cast<std::size_t>(p - m_block.bytes.get());
        ++m_lineCount;
    }
    // Hands the lines gathered to the writer's thread, or with `here` writes them on this
    // thread.
    void handOver(bool here = false);
    void settle();

    records::NewFile& m_file;
    BlockWriter m_writer;
    BlockWriter::Block m_block; // the lines gathered, in its first m_used bytes
    std::size_t m_used = 0;
    std::size_t m_limit = 0;    // the bytes a block takes
    double m_lineCount = 0;
    std::int64_t m_offset = 0; // where the lines gathered go in the file
};

} // namespace uniemens
