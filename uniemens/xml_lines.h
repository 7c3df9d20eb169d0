#pragma once

#include <string>
#include <string_view>

namespace records {
class Channels;
}

namespace uniemens {

// The lines of a UniEmens XML file, one element or tag per line, each ended by CR LF, handed
// to a record channel opened for sequential output (its write line). Values taken from the
// payroll files are Windows-1252 bytes: they are written in UTF-8, with "&", "<" and ">"
// escaped (and the double quote in attribute values), and any control character as a blank.
// The program's own fixed lines are written as they stand.
//
// Lines are gathered and handed to the channel several kilobytes at a time; the file holds
// the same bytes as with one write line per line. A write that fails has been shown by the
// channel and throws SeriesStopped.
class XmlLines {
public:
    XmlLines(records::Channels& channels, int channel);

    // A line of the program's own, as it stands ("<DenunceMensili>", "</Giorno>").
    void fixed(std::string_view line);
    void open(std::string_view element);  // "<element>"
    void close(std::string_view element); // "</element>"
    // "<element>value</element>", also for an empty value (never self-closing).
    void element(std::string_view element, std::string_view value);
    // "<element attribute="value">"
    void openWithAttribute(std::string_view element, std::string_view attribute, std::string_view value);
    // "<element attribute="attributeValue">value</element>"
    void elementWithAttribute(std::string_view element, std::string_view attribute, std::string_view attributeValue,
                              std::string_view value);

    // Hands every line gathered so far to the channel. Throws SeriesStopped after a failed write.
    void flush();
    // Lines handed to the channel or waiting for it, since the file was started.
    double lineCount() const { return m_lineCount; }
    // Forgets what is gathered, for a new file.
    void restart()
    {
        m_pending.clear();
        m_lineCount = 0;
    }

private:
    void appendValue(std::string_view value, bool attribute);
    void endLine();

    records::Channels& m_channels;
    int m_channel;
    std::string m_pending; // whole lines, each ended by CR LF
    double m_lineCount = 0;
};

} // namespace uniemens
