#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace check::uniemens {

// Stands between the bytes of an XML file and the XML reader, so that no file can make the
// reader work or grow without end. It passes the bytes on as they are, except:
// - a document type declaration (<!DOCTYPE ...>) before the first element: it is never
//   passed on (only its line ends are, so that the lines keep their numbers), so the reader
//   never loads, reads or expands what it declares; the gate says where it was and which
//   entities it declared;
// - a piece of markup or text longer than any real declaration has: a start or end tag
//   beyond `kTagLimit` bytes, a text, comment, processing instruction, CDATA section or
//   document type beyond `kTokenLimit` bytes. The reader's time grows with the square of
//   a tag's attributes or of a token's length; the gate stops before it and says where.
// It reads the bytes of any encoding whose markup characters are those of ASCII (UTF-8,
// ISO-8859-1, Windows-1252), which the check asks of a UniEmens file.
class XmlGate {
public:
    static constexpr std::size_t kTagLimit = 64 * 1024;
    static constexpr std::size_t kTokenLimit = 1024 * 1024;

    enum class Token : std::uint8_t { Text, StartTag, EndTag, Comment, Instruction, Cdata, Declaration, DocumentType };

    // What the gate met that the reader does not see.
    struct Event {
        enum class Kind : std::uint8_t { None, DocumentType, TooLong } kind = Kind::None;
        long long line = 0; // where it starts, from 1
        Token token = Token::Text;
        std::size_t limit = 0;              // TooLong: the limit passed
        long long entities = 0;             // DocumentType: the entities it declares
        std::vector<std::string> names;     // the first few of them
        bool external = false;              // DocumentType: it names a file of declarations
    };

    // Reads `in` up to its end or up to the next event, whichever comes first, and appends
    // what the reader is to see to `out`. Returns the bytes of `in` read; event() then
    // tells what was met. After a TooLong event nothing more is read.
    std::size_t pass(std::string_view in, std::string& out);

    // The event met by the last pass(), if any; taking it clears it.
    Event takeEvent();
    // After the last byte: appends what is still held back (a file that ends in "<").
    void finish(std::string& out);
    bool stopped() const { return m_stopped; }
    // Whether a document type declaration was met (and left out).
    bool documentTypeSeen() const { return m_documentTypes > 0; }

private:
    enum class State : std::uint8_t { Text, Open, StartTag, EndTag, Instruction, Comment, Cdata, Declaration, DocumentType };
    // Where a document type declaration is: its name and identifiers, its internal subset,
    // the end after the subset; within the subset, a comment or an instruction.
    enum class Inside : std::uint8_t { Head, Subset, Tail };
    // What a "<" opens, told by the bytes from it; More when they do not tell yet.
    enum class Opens : std::uint8_t { More, StartTag, EndTag, Instruction, Comment, Cdata, Declaration, DocumentType };

    Opens opens(std::string_view head) const;
    void documentTypeByte(char c, std::string& out);
    // Whether the bytes of the document type read last are `text` (at most eight).
    bool recent(std::string_view text) const;

    State m_state = State::Text;
    Token m_token = Token::Text;
    bool m_stopped = false;
    bool m_rootSeen = false;
    long long m_line = 1;      // of the first byte of the next piece
    long long m_tokenLine = 1; // where the token being read starts, when it started in a piece before
    std::size_t m_length = 0;  // of the token being read
    std::string m_head;        // "<!..." at the end of a piece, until it is known what it opens
    char m_quote = 0;
    char m_last[2] = {0, 0};   // the last two bytes of a comment, instruction or CDATA section
    // The document type declaration being read.
    Inside m_inside = Inside::Head;
    bool m_inComment = false;
    bool m_inInstruction = false;
    std::uint64_t m_recent = 0; // its last eight bytes, for "<!ENTITY", "<!--", "<?"
    std::string m_name;         // the entity whose name is being read
    bool m_readingName = false;
    long long m_documentTypes = 0;
    Event m_event;
    Event m_documentType;
};

} // namespace check::uniemens
