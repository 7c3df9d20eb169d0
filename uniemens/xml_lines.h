#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "records/write_behind.h"

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
// thread of their own while the next lines are made; the file holds the same bytes as with
// one write per line. A write that fails is made again in the foreground and throws
// SeriesStopped with its failure (naming the last line of the block).
class XmlLines {
public:
    explicit XmlLines(records::NewFile& file);
    XmlLines(const XmlLines&) = delete;
    XmlLines& operator=(const XmlLines&) = delete;

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
    // Room for `bytes` more bytes at the end of the lines gathered: where to write them.
    char* room(std::size_t bytes)
    {
        if (m_buffer.size() - m_used < bytes)
            makeRoom(bytes);
        return m_buffer.data() + m_used;
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
        m_used = static_cast<std::size_t>(p - m_buffer.data());
        ++m_lineCount;
    }
    void handOver();
    void settle();
    void writeNow(std::string& block, std::int64_t offset, double lines);

    records::NewFile& m_file;
    std::string m_buffer;    // the lines gathered, in its first m_used bytes
    std::size_t m_used = 0;
    double m_lineCount = 0;
    std::int64_t m_offset = 0; // where the lines gathered go in the file
    records::WriteBehind m_behind;
    bool m_behindBusy = false; // a block was handed to the writer thread and not waited for
    std::int64_t m_behindOffset = 0;
    double m_behindLines = 0;  // the line count at the end of that block
    std::int64_t m_writtenSinceWriteback = 0;
};

} // namespace uniemens
