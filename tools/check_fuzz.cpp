// Runs the check before sending (`telematico-cli verifica`, with and without --json) on
// damaged and hostile files, case after case, and checks that every file gets an answer
// the clerk can trust:
//
//   check_fuzz [--seconds N] [--seed S] [--cases N] [--case K] [--dir DIR] [--verbose]
//   (defaults: 10 seconds, a random seed, a new folder in /dev/shm or $TMPDIR)
//
// The files of the cases start from the CU files and the UniEmens files that the command
// line writes on the demo installation:
// - CU files with bytes changed, added or lost, records cut, repeated, removed or swapped,
//   record kinds and counts changed, lower-case and control characters, elements with odd
//   codes and values, and now and then a certification repeated thousands of times (a file
//   damaged all through);
// - UniEmens files with bytes changed, lines lost, repeated or swapped, values replaced,
//   unknown elements and attributes, entity and character references, comments, CDATA and
//   instructions, another encoding declared, bytes that are not UTF-8, a byte order mark,
//   closing tags lost, blocks repeated, the file cut;
// - hostile XML: a document type declaring entities (a "billion laughs", external files),
//   elements nested thousands deep, texts, comments, instructions, CDATA sections and
//   attribute values of megabytes, thousands of attributes, long names, UTF-16.
// After each case it checks:
// - the exit status is 0, 1 or 2, the same with and without --json; 2 comes with a message
//   on the error stream and nothing on the output;
// - the lines end with "Verificato FILE: N bloccanti, M avvisi", one line before it per
//   finding, N and M counting them, and exit 1 exactly when N is above zero;
// - the JSON is one valid object with the file, its kind, the findings and their counts,
//   and each finding says what its line says, in the same order;
// - a file whose framing is broken never exits 0: a CU file whose size is not a multiple of
//   1900 bytes, a record that does not end in "A" CR LF, a first record other than A or a
//   last other than Z, a record of an unknown kind, other than one record B; an XML file
//   that libxml2 finds not well-formed (read without any document type, as the check reads
//   it), or one that refers to a declared entity, or has a token or a depth beyond the
//   check's limits;
// - the memory that the check holds (what it allocates, libxml2's included) grows by less
//   than 16 MB during a case, whatever the size of the file (a file damaged all through has
//   tens of thousands of findings: kept, they would take more).
// Each case draws from its own generator, seeded by the seed and the case number: "--seed S
// --case K" repeats case K alone. A crash is found by the sanitizers of the build.

#include <libxml/parser.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli.h"
#include "tools/fuzz_support.h"

namespace fs = std::filesystem;
using namespace tools::fuzz;

// ------------------------------------------------------------------ memory held

// What the program holds on the heap now and at most since the last reset, counted by the
// allocation functions themselves (operator new for the check's own memory, libxml2's
// allocation functions for the XML reader's). The counters belong to the allocation
// functions, which have no object to keep them in.
namespace {
std::atomic<long long> g_held{0};
std::atomic<long long> g_most{0};

// Each block starts with its size, so that freeing it can count it off.
constexpr std::size_t kHeader = 16;

void* counted(std::size_t size)
{
    void* block = std::malloc(size + kHeader);
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    const long long held = g_held += static_cast<long long>(size);
    long long most = g_most.load();
    while (held > most && !g_most.compare_exchange_weak(most, held)) {
    }
    return static_cast<char*>(block) + kHeader;
}

// Not inlined into operator delete, where the compiler would take the block's own free()
// for one of memory that operator new gave.
[[gnu::noinline]] void uncounted(void* pointer)
{
    if (!pointer)
        return;
    void* block = static_cast<char*>(pointer) - kHeader;
    std::size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    g_held -= static_cast<long long>(size);
    std::free(block);
}

void* recounted(void* pointer, std::size_t size)
{
    if (!pointer)
        return counted(size);
    void* block = static_cast<char*>(pointer) - kHeader;
    std::size_t old = 0;
    std::memcpy(&old, block, sizeof old);
    void* moved = std::realloc(block, size + kHeader);
    if (!moved)
        return nullptr;
    std::memcpy(moved, &size, sizeof size);
    const long long held = g_held += static_cast<long long>(size) - static_cast<long long>(old);
    long long most = g_most.load();
    while (held > most && !g_most.compare_exchange_weak(most, held)) {
    }
    return static_cast<char*>(moved) + kHeader;
}

char* countedCopy(const char* text)
{
    const std::size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(counted(size));
    if (copy)
        std::memcpy(copy, text, size);
    return copy;
}

} // namespace

// Every form that allocates with the default alignment, so that none of them reaches an
// allocator of its own (the sanitizers bring one for each) whose blocks these would free.
void* operator new(std::size_t size)
{
    if (void* block = counted(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return counted(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return counted(size);
}
void operator delete(void* pointer) noexcept
{
    uncounted(pointer);
}
void operator delete[](void* pointer) noexcept
{
    uncounted(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept
{
    uncounted(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    uncounted(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept
{
    uncounted(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept
{
    uncounted(pointer);
}

namespace {

constexpr long long kMostHeldPerCase = 16ll << 20;
constexpr std::size_t kRecord = 1900;

// ------------------------------------------------------------------ JSON

// A JSON value, read strictly: anything that is not JSON throws.
struct Json {
    enum class Kind { Null, Number, String, Array, Object } kind = Kind::Null;
    long long number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& at(const std::string& key) const
    {
        const auto found = members.find(key);
        if (found == members.end())
            throw std::runtime_error("no member " + key);
        return found->second;
    }
};

class JsonReader {
public:
    explicit JsonReader(std::string_view text)
        : m_text(text)
    {
    }

    Json document()
    {
        Json value = read(0);
        skip();
        if (m_at != m_text.size())
            throw std::runtime_error("text after the JSON value");
        return value;
    }

private:
    void skip()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\n' || m_text[m_at] == '\r' || m_text[m_at] == '\t'))
            ++m_at;
    }
    char next()
    {
        skip();
        if (m_at >= m_text.size())
            throw std::runtime_error("JSON cut short");
        return m_text[m_at];
    }
    void expect(char c)
    {
        if (next() != c)
            throw std::runtime_error(std::string("expected ") + c + " at byte " + std::to_string(m_at));
        ++m_at;
    }
    std::string string()
    {
        expect('"');
        std::string result;
        while (true) {
            if (m_at >= m_text.size())
                throw std::runtime_error("string cut short");
            char c = m_text[m_at++];
            if (c == '"')
                break;
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("control character in a string");
            if (c == '\\') {
                if (m_at >= m_text.size())
                    throw std::runtime_error("escape cut short");
                const char e = m_text[m_at++];
                switch (e) {
                case '"': case '\\': case '/': c = e; break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case 'b': c = '\b'; break;
                case 'f': c = '\f'; break;
                case 'u': {
                    if (m_at + 4 > m_text.size())
                        throw std::runtime_error("escape cut short");
                    const std::string hex(m_text.substr(m_at, 4));
                    if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                        throw std::runtime_error("bad \\u escape");
                    c = static_cast<char>(std::stoi(hex, nullptr, 16));
                    m_at += 4;
                    break;
                }
                default: throw std::runtime_error("bad escape");
                }
            }
            result += c;
        }
        // UTF-8 only: the report converts the file's bytes.
        for (std::size_t k = 0; k < result.size();) {
            const auto c = static_cast<unsigned char>(result[k]);
            const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
            if (length == 0 || k + length > result.size())
                throw std::runtime_error("not UTF-8");
            for (std::size_t j = 1; j < length; ++j) {
                if ((static_cast<unsigned char>(result[k + j]) >> 6) != 2)
                    throw std::runtime_error("not UTF-8");
            }
            k += length;
        }
        return result;
    }
    Json read(int depth)
    {
        if (depth > 8)
            throw std::runtime_error("nested too deep for the report");
        Json value;
        const char c = next();
        if (c == '{') {
            value.kind = Json::Kind::Object;
            ++m_at;
            if (next() == '}') {
                ++m_at;
                return value;
            }
            do {
                const std::string key = string();
                expect(':');
                if (!value.members.emplace(key, read(depth + 1)).second)
                    throw std::runtime_error("member " + key + " twice");
            } while (next() == ',' && ++m_at);
            expect('}');
        } else if (c == '[') {
            value.kind = Json::Kind::Array;
            ++m_at;
            if (next() == ']') {
                ++m_at;
                return value;
            }
            do {
                value.items.push_back(read(depth + 1));
            } while (next() == ',' && ++m_at);
            expect(']');
        } else if (c == '"') {
            value.kind = Json::Kind::String;
            value.text = string();
        } else if (m_text.substr(m_at, 4) == "null") {
            m_at += 4;
        } else {
            std::size_t end = m_at;
            if (end < m_text.size() && m_text[end] == '-')
                ++end;
            while (end < m_text.size() && m_text[end] >= '0' && m_text[end] <= '9')
                ++end;
            if (end == m_at)
                throw std::runtime_error("not a JSON value at byte " + std::to_string(m_at));
            value.kind = Json::Kind::Number;
            value.number = std::stoll(std::string(m_text.substr(m_at, end - m_at)));
            m_at = end;
        }
        return value;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

// ------------------------------------------------------------------ the files

struct BaseFile {
    std::string name;
    std::string bytes;
    bool cu = false;
};

// Runs the command line in this process, its output into `out`.
int command(const std::vector<std::string>& arguments, std::ostream& out, std::string& errors)
{
    std::ostringstream err;
    std::vector<std::string> argv = {"telematico-cli"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const int status = app::cli::main(argv, out, err);
    errors = err.str();
    return status;
}

// The files that the command line writes on the demo installation.
std::vector<BaseFile> baseFiles(const fs::path& folder)
{
    std::vector<BaseFile> files;
    const std::string root = (folder / "demo").string();
    std::string errors;
    std::ostringstream ignored;
    if (command({"demo", "--root", root, "--force"}, ignored, errors) != 0)
        return files;
    const auto written = [&](const std::vector<std::string>& arguments, bool cu) {
        std::ostringstream out;
        std::vector<std::string> argv = arguments;
        argv.insert(argv.begin() + 1, {"--root", root});
        if (command(argv, out, errors) != 0)
            return;
        const std::string path = out.str().substr(0, out.str().find('\n'));
        files.push_back({arguments[0] + " " + arguments.back(), readFile(path), cu});
    };
    for (const char* archive : {"1", "2", "7"})
        written({"cu", "--archive", archive}, true);
    written({"uniemens", "--month", "3", "--company", "001", "--company", "002"}, false);
    written({"uniemens", "--month", "3", "--company", "005"}, false);
    written({"uniemens", "--month", "4", "--company", "003"}, false);
    written({"uniemens", "--month", "4", "--company", "006"}, false);
    return files;
}

// ------------------------------------------------------------------ damage

std::string randomBytes(Dice& dice, std::size_t most)
{
    std::string bytes;
    const std::size_t n = 1 + dice.below(most);
    for (std::size_t k = 0; k < n; ++k)
        bytes += dice.anyByte();
    return bytes;
}

// What the case did to the file, and what follows for its verdict.
struct Damage {
    std::vector<std::string> log;
    bool mustNotPass = false; // an XML whose gate or entity makes it certain
    bool xmlOracle = true;    // libxml2 can tell whether it is well formed without danger
};

void damageCu(std::string& bytes, Dice& dice, Damage& damage)
{
    const auto anyRecord = [&] { return dice.below(std::max<std::size_t>(1, bytes.size() / kRecord)); };
    const int steps = 1 + static_cast<int>(dice.below(4));
    for (int step = 0; step < steps && !bytes.empty(); ++step) {
        const std::size_t at = dice.below(bytes.size());
        switch (dice.below(13)) {
        case 0: {
            const std::size_t n = 1 + dice.below(20);
            for (std::size_t k = 0; k < n; ++k)
                bytes[dice.below(bytes.size())] = dice.anyByte();
            damage.log.push_back(std::to_string(n) + " bytes changed");
            break;
        }
        case 1:
            bytes.insert(at, randomBytes(dice, 5));
            damage.log.push_back("bytes added at " + std::to_string(at));
            break;
        case 2:
            bytes.erase(at, 1 + dice.below(5));
            damage.log.push_back("bytes lost at " + std::to_string(at));
            break;
        case 3:
            bytes.resize(at);
            damage.log.push_back("cut at " + std::to_string(at));
            break;
        case 4: {
            const std::size_t r = anyRecord();
            bytes.insert(r * kRecord, bytes.substr(r * kRecord, kRecord));
            damage.log.push_back("record " + std::to_string(r + 1) + " repeated");
            break;
        }
        case 5: {
            const std::size_t r = anyRecord();
            bytes.erase(r * kRecord, kRecord);
            damage.log.push_back("record " + std::to_string(r + 1) + " removed");
            break;
        }
        case 6: {
            const std::size_t a = anyRecord(), b = anyRecord();
            if (a != b && (std::max(a, b) + 1) * kRecord <= bytes.size()) {
                const std::string first = bytes.substr(a * kRecord, kRecord);
                bytes.replace(a * kRecord, kRecord, bytes.substr(b * kRecord, kRecord));
                bytes.replace(b * kRecord, kRecord, first);
                damage.log.push_back("records " + std::to_string(a + 1) + " and " + std::to_string(b + 1) + " swapped");
            }
            break;
        }
        case 7: {
            const std::size_t r = anyRecord();
            if (r * kRecord < bytes.size()) {
                bytes[r * kRecord] = std::string_view("ABCDEGHZXa \x01")[dice.below(12)];
                damage.log.push_back("record " + std::to_string(r + 1) + " of kind " + bytes.substr(r * kRecord, 1));
            }
            break;
        }
        case 8: {
            static const std::vector<std::string> odd = {"1E99", "-0000003", "        ", "99999999", "0000000A", "00000000"};
            const std::string& value = dice.pick(odd);
            put(bytes, at, value.size(), value);
            damage.log.push_back("'" + value + "' at " + std::to_string(at));
            break;
        }
        case 9: {
            const std::size_t n = 1 + dice.below(40);
            for (std::size_t k = at; k < at + n && k < bytes.size(); ++k) {
                if (bytes[k] >= 'A' && bytes[k] <= 'Z')
                    bytes[k] = static_cast<char>(bytes[k] | 0x20);
            }
            damage.log.push_back("lower case at " + std::to_string(at));
            break;
        }
        case 10: {
            // An element of a record D or G with an odd code or value.
            static const std::vector<std::string> codes = {"DB001001", "DA002002", "ZZ999999", "DB001010", "DB001341",
                                                           "DA002005", "AU001001", "DB00100X", "        "};
            static const std::vector<std::string> values = {"               1", "         1234,50", "        1234.50",
                                                            "      31022016", "+CONTINUA", "                ",
                                                            "              19", "abc"};
            const std::size_t r = anyRecord();
            const std::size_t slot = r * kRecord + 89 + dice.below(75) * 24;
            put(bytes, slot, 8, dice.pick(codes));
            put(bytes, slot + 8, 16, dice.chance(0.8) ? dice.pick(values) : randomBytes(dice, 16));
            damage.log.push_back("element at " + std::to_string(slot + 1));
            break;
        }
        case 11:
            if (bytes.size() >= 5 * kRecord && dice.chance(0.3)) {
                // A certification (records D and G of the first employee) thousands of times,
                // with a control character in five elements of its record D: six findings a
                // copy with its number, far more than the check may hold.
                std::string block = bytes.substr(3 * kRecord, 2 * kRecord);
                for (std::size_t slot = 0; slot < 5; ++slot)
                    block[89 + slot * 24 + 8 + 15] = '\x01';
                const std::size_t copies = 4000 + dice.below(4000);
                std::string many;
                many.reserve(block.size() * copies);
                for (std::size_t k = 0; k < copies; ++k)
                    many += block;
                bytes.insert(std::min(bytes.size(), 5 * kRecord), many);
                damage.log.push_back("a certification " + std::to_string(copies) + " times more");
            }
            break;
        default: {
            const std::size_t n = 1 + dice.below(5);
            for (std::size_t k = 0; k < n; ++k)
                bytes[dice.below(bytes.size())] = static_cast<char>(dice.chance(0.5) ? dice.below(32) : 128 + dice.below(128));
            damage.log.push_back(std::to_string(n) + " control or 8-bit characters");
            break;
        }
        }
    }
}

// Whether the records of a CU file have lost their framing, as the format defines it.
bool cuFramingBroken(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() % kRecord != 0)
        return true;
    const std::size_t records = bytes.size() / kRecord;
    long long recordsB = 0;
    for (std::size_t k = 0; k < records; ++k) {
        const std::string_view record(bytes.data() + k * kRecord, kRecord);
        if (record.substr(kRecord - 3) != std::string_view("A\r\n", 3))
            return true;
        if (std::string_view("ABCDEGHZ").find(record[0]) == std::string_view::npos)
            return true;
        recordsB += record[0] == 'B';
    }
    return bytes[0] != 'A' || bytes[(records - 1) * kRecord] != 'Z' || recordsB != 1;
}

// The places where text may go: after a ">" that ends a start tag.
std::size_t anyTextPlace(const std::string& bytes, Dice& dice)
{
    for (int tries = 0; tries < 20; ++tries) {
        const std::size_t at = bytes.find('>', dice.below(bytes.size()));
        if (at != std::string::npos && at > 0 && at + 1 < bytes.size() && bytes[at + 1] != '<' && bytes[at - 1] != '/')
            return at + 1;
    }
    const std::size_t root = bytes.find("<DenunceMensili");
    const std::size_t end = root == std::string::npos ? std::string::npos : bytes.find('>', root);
    return end == std::string::npos ? 0 : end + 1;
}

std::vector<std::size_t> lineStarts(const std::string& bytes)
{
    std::vector<std::size_t> starts = {0};
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (bytes[k] == '\n' && k + 1 < bytes.size())
            starts.push_back(k + 1);
    }
    return starts;
}

void damageXml(std::string& bytes, Dice& dice, Damage& damage)
{
    const int steps = 1 + static_cast<int>(dice.below(3));
    for (int step = 0; step < steps && !bytes.empty(); ++step) {
        const std::vector<std::size_t> starts = lineStarts(bytes);
        const std::size_t line = dice.below(starts.size());
        const std::size_t begin = starts[line];
        const std::size_t end = line + 1 < starts.size() ? starts[line + 1] : bytes.size();
        switch (dice.below(14)) {
        case 0: {
            const std::size_t n = 1 + dice.below(10);
            for (std::size_t k = 0; k < n; ++k)
                bytes[dice.below(bytes.size())] = dice.anyByte();
            damage.log.push_back(std::to_string(n) + " bytes changed");
            break;
        }
        case 1:
            bytes.erase(begin, end - begin);
            damage.log.push_back("line " + std::to_string(line + 1) + " lost");
            break;
        case 2:
            bytes.insert(begin, bytes.substr(begin, end - begin));
            damage.log.push_back("line " + std::to_string(line + 1) + " repeated");
            break;
        case 3: {
            const std::size_t other = starts[dice.below(starts.size())];
            const std::string moved = bytes.substr(begin, end - begin);
            bytes.erase(begin, end - begin);
            bytes.insert(std::min(other, bytes.size()), moved);
            damage.log.push_back("line " + std::to_string(line + 1) + " moved");
            break;
        }
        case 4: {
            // A value replaced.
            const std::size_t at = anyTextPlace(bytes, dice);
            const std::size_t stop = bytes.find('<', at);
            static const std::vector<std::string> values = {"", "0", "-1", "1.234,56", "2016-02-30", "ABC", "XX",
                                                            "12,5", "9999999999999", "S", "N", "53", "0,00"};
            if (stop != std::string::npos) {
                const std::string value = dice.chance(0.7) ? dice.pick(values) : dice.randomText(20);
                bytes.replace(at, stop - at, value);
                damage.log.push_back("value at " + std::to_string(at) + " replaced");
            }
            break;
        }
        case 5: {
            static const std::vector<std::string> elements = {"<Zz>1</Zz>", "<Azienda/>", "<Settimana><IdSettimana>9</IdSettimana></Settimana>",
                                                              "<CFLavoratore>RSSMRA80A01H501U</CFLavoratore>", "<a:b xmlns:a=\"u\"/>"};
            bytes.insert(begin, dice.pick(elements) + "\n");
            damage.log.push_back("element added at line " + std::to_string(line + 1));
            break;
        }
        case 6: {
            static const std::vector<std::string> pieces = {"&foo;", "&#0;", "&#x41;", "&amp;", "&lt;", "<![CDATA[x<y]]>",
                                                            "<!-- nota -->", "<?pi x?>", "&", "<", "]]>", "&#xD800;"};
            const std::string& piece = dice.pick(pieces);
            bytes.insert(anyTextPlace(bytes, dice), piece);
            damage.log.push_back("'" + piece + "' in a text");
            break;
        }
        case 7: {
            static const std::vector<std::string> encodings = {"UTF-8", "ISO-8859-1", "windows-1252", "UTF-16", "bogus",
                                                               "US-ASCII", "EBCDIC"};
            const std::size_t at = bytes.find("encoding=\"");
            if (at != std::string::npos) {
                const std::size_t close = bytes.find('"', at + 10);
                const std::string& encoding = dice.pick(encodings);
                bytes.replace(at + 10, close - at - 10, encoding);
                damage.log.push_back("encoding " + encoding);
            }
            break;
        }
        case 8:
            bytes.insert(anyTextPlace(bytes, dice), dice.chance(0.5) ? "\xE0\x80" : "\xE8\xFF\xC0");
            damage.log.push_back("bytes that are not UTF-8");
            break;
        case 9:
            bytes.resize(dice.below(bytes.size()));
            damage.log.push_back("cut at " + std::to_string(bytes.size()));
            break;
        case 10:
            bytes.insert(0, "\xEF\xBB\xBF");
            damage.log.push_back("byte order mark");
            break;
        case 11: {
            const std::size_t at = bytes.find("</", dice.below(bytes.size()));
            if (at != std::string::npos) {
                bytes.erase(at, bytes.find('>', at) + 1 - at);
                damage.log.push_back("a closing tag lost at " + std::to_string(at));
            }
            break;
        }
        case 12: {
            for (const char* name : {"DenunciaIndividuale", "Azienda", "Settimana", "Collaboratore"}) {
                const std::size_t open = bytes.find(std::string("<") + name);
                const std::size_t close = bytes.find(std::string("</") + name + ">", open);
                if (open != std::string::npos && close != std::string::npos) {
                    const std::size_t after = close + std::strlen(name) + 3;
                    const std::size_t copies = 1 + dice.below(dice.chance(0.1) ? 3000 : 3);
                    std::string block = bytes.substr(open, after - open);
                    std::string many;
                    for (std::size_t k = 0; k < copies; ++k)
                        many += block;
                    bytes.insert(after, many);
                    damage.log.push_back(std::string(name) + " " + std::to_string(copies) + " times more");
                    break;
                }
            }
            break;
        }
        default: {
            static const std::vector<std::string> attributes = {" Elimina=\"S\"", " Tipo=\"Q\"", " zz=\"1\"", " Elimina=\"S\" Elimina=\"N\"",
                                                                " GG=\"40\"", " a='<'"};
            const std::size_t at = bytes.find('>', dice.below(bytes.size()));
            if (at != std::string::npos && at > 0 && bytes[at - 1] != '?') {
                const std::string& attribute = dice.pick(attributes);
                bytes.insert(bytes[at - 1] == '/' ? at - 1 : at, attribute);
                damage.log.push_back("attribute" + attribute);
            }
            break;
        }
        }
    }
}

// Hostile XML, from a UniEmens file or alone.
void hostileXml(std::string& bytes, Dice& dice, Damage& damage)
{
    const std::size_t root = bytes.find("<DenunceMensili");
    const std::size_t rootEnd = root == std::string::npos ? std::string::npos : bytes.find('>', root);
    const std::size_t inside = rootEnd == std::string::npos ? 0 : rootEnd + 1;
    damage.xmlOracle = false;
    switch (dice.below(8)) {
    case 0: {
        // Entities that multiply each other, referred to in the file.
        const int levels = 1 + static_cast<int>(dice.below(9));
        std::string declarations = "<!ENTITY l0 \"" + std::string(dice.chance(0.5) ? "lol" : "><DenunceMensili>") + "\">\n";
        for (int k = 1; k <= levels; ++k) {
            declarations += "<!ENTITY l" + std::to_string(k) + " \"";
            for (int r = 0; r < 10; ++r)
                declarations += "&l" + std::to_string(k - 1) + ";";
            declarations += "\">\n";
        }
        if (dice.chance(0.3))
            declarations += "<!ENTITY % p \"<!ENTITY q 'x'>\">\n%p;\n<!-- ] > \" -->\n<?pi ]>?>\n";
        const std::string name = dice.chance(0.8) ? "DenunceMensili" : "x";
        bytes.insert(anyTextPlace(bytes, dice), "&l" + std::to_string(levels) + ";");
        const std::size_t declaration = bytes.find("?>");
        bytes.insert(declaration == std::string::npos ? 0 : declaration + 2, "\n<!DOCTYPE " + name + " [\n" + declarations + "]>\n");
        damage.mustNotPass = true;
        damage.log.push_back("document type " + name + " of " + std::to_string(levels + 1) + " entities, the last referred to");
        break;
    }
    case 1: {
        // A document type that names files.
        const std::size_t declaration = bytes.find("?>");
        bytes.insert(declaration == std::string::npos ? 0 : declaration + 2,
                     dice.chance(0.5) ? "\n<!DOCTYPE DenunceMensili SYSTEM \"file:///etc/passwd\">\n"
                                      : "\n<!DOCTYPE DenunceMensili [<!ENTITY x SYSTEM \"file:///etc/hostname\">]>\n");
        damage.log.push_back("document type naming a file");
        break;
    }
    case 2: {
        const std::size_t depth = 50 + dice.below(3000);
        std::string open, close;
        for (std::size_t k = 0; k < depth; ++k) {
            open += "<Azienda>";
            close += "</Azienda>";
        }
        bytes.insert(inside, open + close);
        damage.mustNotPass = depth + 2 > 100;
        damage.log.push_back(std::to_string(depth) + " elements nested");
        break;
    }
    case 3: {
        // A token of megabytes.
        const std::size_t size = (1u << 19) + dice.below(4u << 20);
        const std::string filler(size, dice.chance(0.5) ? 'x' : ' ');
        static const char* const kinds[] = {"text", "comment", "instruction", "cdata", "attribute"};
        const char* kind = kinds[dice.below(5)];
        std::string token = std::string(kind) == "text"          ? filler
                            : std::string(kind) == "comment"     ? "<!--" + filler + "-->"
                            : std::string(kind) == "instruction" ? "<?pi " + filler + "?>"
                            : std::string(kind) == "cdata"       ? "<![CDATA[" + filler + "]]>"
                                                                 : "<Zz a=\"" + filler + "\"/>";
        bytes.insert(std::string(kind) == "text" ? anyTextPlace(bytes, dice) : inside, token);
        damage.mustNotPass = std::string(kind) == "attribute" ? size > 64 * 1024 : size > (1u << 20);
        damage.log.push_back(std::string(kind) + " of " + std::to_string(size) + " bytes");
        break;
    }
    case 4: {
        const std::size_t count = 1000 + dice.below(50000);
        std::string attributes = "<Zz";
        for (std::size_t k = 0; k < count; ++k)
            attributes += " a" + std::to_string(k) + "=\"\"";
        bytes.insert(inside, attributes + "/>");
        damage.mustNotPass = attributes.size() + 2 > 64 * 1024;
        damage.log.push_back(std::to_string(count) + " attributes");
        break;
    }
    case 5: {
        const std::string name(5000 + dice.below(100000), 'N');
        bytes.insert(inside, "<" + name + ">1</" + name + ">");
        damage.mustNotPass = name.size() + 2 > 64 * 1024;
        damage.log.push_back("a name of " + std::to_string(name.size()) + " characters");
        break;
    }
    case 6: {
        // UTF-16, with or without its mark, in either order of bytes.
        const bool little = dice.chance(0.5);
        std::string wide = dice.chance(0.5) ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
        for (const char c : bytes) {
            wide += little ? std::string{c, '\0'} : std::string{'\0', c};
        }
        bytes = wide;
        damage.log.push_back(little ? "UTF-16 LE" : "UTF-16 BE");
        break;
    }
    default: {
        // Many names, each its own.
        const std::size_t count = 1000 + dice.below(20000);
        std::string many;
        for (std::size_t k = 0; k < count; ++k)
            many += "<N" + std::to_string(k) + "/>";
        bytes.insert(inside, many);
        damage.log.push_back(std::to_string(count) + " elements of different names");
        break;
    }
    }
}

// libxml2's messages on its general channel (bytes it cannot convert from the declared
// encoding), kept from the error stream; `said` is set by one.
void libraryMessage(void* said, const char*, ...)
{
    *static_cast<bool*>(said) = true;
}

// Whether libxml2, reading without any document type or entity, finds the XML well formed.
bool wellFormed(const std::string& bytes)
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context)
        return true;
    bool said = false;
    xmlSetGenericErrorFunc(&said, libraryMessage);
    xmlDocPtr document = xmlCtxtReadMemory(context, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    xmlSetGenericErrorFunc(nullptr, nullptr);
    const bool formed = document != nullptr && context->wellFormed && !said;
    if (document)
        xmlFreeDoc(document);
    xmlFreeParserCtxt(context);
    return formed;
}

// ------------------------------------------------------------------ one case

struct Answer {
    int status = -1;
    std::string out;
    std::string errors;
    long long held = 0; // the most memory held beyond what was held before
};

// The whole of an output file, read at once: a file damaged all through gives megabytes.
std::string outputOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

Answer verifica(const fs::path& file, const fs::path& output, bool json)
{
    Answer answer;
    {
        std::ofstream out(output, std::ios::binary | std::ios::trunc);
        std::vector<std::string> arguments = {"verifica"};
        if (json)
            arguments.push_back("--json");
        arguments.push_back(file.string());
        std::ostringstream err;
        std::vector<std::string> argv = {"telematico-cli"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const long long before = g_held.load();
        g_most = before;
        answer.status = app::cli::main(argv, out, err);
        answer.held = g_most.load() - before;
        answer.errors = err.str();
    }
    answer.out = outputOf(output);
    return answer;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// Empty when the lines and the JSON of one check agree with each other and with the status.
std::string disagreement(const Answer& text, const Answer& json, const std::string& file)
{
    if (text.status != json.status)
        return "exit " + std::to_string(text.status) + " for the lines, " + std::to_string(json.status) + " for the JSON";
    if (text.status < 0 || text.status > 2)
        return "exit " + std::to_string(text.status);
    if (text.status == 2) {
        if (!text.out.empty() || !json.out.empty())
            return "exit 2 with something on the output";
        if (!text.errors.starts_with("verifica: ") || !json.errors.starts_with("verifica: "))
            return "exit 2 without a message: " + text.errors;
        return {};
    }
    if (!text.errors.empty() || !json.errors.empty())
        return "a message beside the findings: " + text.errors + json.errors;
    const std::vector<std::string> lines = linesOf(text.out);
    if (lines.empty() || text.out.back() != '\n')
        return "no verdict line";
    Json report;
    try {
        report = JsonReader(json.out).document();
        const auto& findings = report.at("findings").items;
        if (report.at("file").text != file)
            return "the JSON names the file " + report.at("file").text;
        const std::string kind = report.at("kind").text;
        if (kind != "cu" && kind != "uniemens")
            return "kind " + kind;
        if (findings.size() + 1 != lines.size())
            return std::to_string(findings.size()) + " findings in the JSON, " + std::to_string(lines.size() - 1) + " lines";
        long long blocking = 0, warnings = 0;
        for (std::size_t k = 0; k < findings.size(); ++k) {
            const Json& f = findings[k];
            const std::string& level = f.at("level").text;
            if (level != "BLOCCANTE" && level != "AVVISO")
                return "level " + level;
            (level == "BLOCCANTE" ? blocking : warnings) += 1;
            std::string line = level;
            if (kind == "cu") {
                line += " record " + std::to_string(f.at("record").number) + " posizione "
                    + std::to_string(f.at("position").number);
                if (f.at("element").kind == Json::Kind::String)
                    line += " elemento " + f.at("element").text;
            } else {
                line += " riga " + std::to_string(f.at("line").number) + " elemento " + f.at("element").text;
            }
            if (const Json& person = f.at("person"); person.kind == Json::Kind::Object) {
                line += " persona";
                for (const char* part : {"fiscal_code", "name"}) {
                    if (person.at(part).kind == Json::Kind::String)
                        line += " " + person.at(part).text;
                }
            }
            line += ": " + f.at("message").text;
            if (line != lines[k])
                return "finding " + std::to_string(k + 1) + " says\n    " + line + "\n  its line\n    " + lines[k];
        }
        if (report.at("blocking").number != blocking || report.at("warnings").number != warnings)
            return "the JSON counts " + std::to_string(report.at("blocking").number) + " and "
                + std::to_string(report.at("warnings").number) + ", its findings " + std::to_string(blocking) + " and "
                + std::to_string(warnings);
        const std::string verdict = "Verificato " + file + ": " + std::to_string(blocking) + " bloccanti, "
            + std::to_string(warnings) + " avvisi";
        if (lines.back() != verdict)
            return "verdict line '" + lines.back() + "', expected '" + verdict + "'";
        if ((blocking > 0) != (text.status == 1))
            return "exit " + std::to_string(text.status) + " with " + std::to_string(blocking) + " blocking findings";
    } catch (const std::exception& error) {
        return std::string("the JSON is not valid: ") + error.what();
    }
    return {};
}

class Case {
public:
    Case(const std::vector<BaseFile>& bases, std::uint64_t seed, long number)
        : m_bases(bases)
        , m_dice(seed, number)
    {
    }

    CaseResult run(const fs::path& folder)
    {
        CaseResult result;
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        fs::create_directories(folder);
        const double kind = static_cast<double>(m_dice.below(100)) / 100;
        std::vector<const BaseFile*> cuFiles, xmlFiles;
        for (const BaseFile& base : m_bases)
            (base.cu ? cuFiles : xmlFiles).push_back(&base);
        Damage damage;
        std::string bytes;
        bool cu = false;
        if (kind < 0.4) {
            const BaseFile& base = *m_dice.pick(cuFiles);
            result.log.push_back("CU file of " + base.name);
            bytes = base.bytes;
            cu = true;
            damageCu(bytes, m_dice, damage);
            result.outcome = "CU";
        } else if (kind < 0.8) {
            const BaseFile& base = *m_dice.pick(xmlFiles);
            result.log.push_back("UniEmens file of " + base.name);
            bytes = base.bytes;
            damageXml(bytes, m_dice, damage);
            result.outcome = "UniEmens";
        } else {
            const BaseFile& base = *m_dice.pick(xmlFiles);
            result.log.push_back("hostile XML from " + base.name);
            bytes = base.bytes;
            hostileXml(bytes, m_dice, damage);
            result.outcome = "hostile XML";
        }
        for (const std::string& line : damage.log)
            result.log.push_back("  " + line);
        const fs::path file = folder / "file";
        writeFile(file, bytes);

        const Answer text = verifica(file, folder / "lines.txt", false);
        const Answer json = verifica(file, folder / "report.json", true);
        result.outcome += text.status == 0 ? ", exit 0" : text.status == 1 ? ", exit 1" : ", exit 2";
        result.log.push_back("exit " + std::to_string(text.status) + ", " + std::to_string(linesOf(text.out).size())
                             + " lines, held " + std::to_string(std::max(text.held, json.held) >> 10) + " KB");
        if (!text.errors.empty())
            result.log.push_back("error stream: " + text.errors.substr(0, 300));
        if (const std::string fault = disagreement(text, json, file.string()); !fault.empty()) {
            result.failure = fault;
            for (const std::string& line : linesOf(text.out.substr(0, 4000)))
                result.log.push_back("| " + line);
            return result;
        }
        const bool broken = cu ? cuFramingBroken(bytes)
                               : damage.mustNotPass || (damage.xmlOracle && !wellFormed(bytes));
        if (broken && text.status == 0) {
            result.failure = cu ? "exit 0 on a CU file whose framing is broken"
                                : "exit 0 on an XML file that is not well formed or goes beyond the limits";
            return result;
        }
        if (std::max(text.held, json.held) > kMostHeldPerCase) {
            result.failure = "the check held " + std::to_string(std::max(text.held, json.held) >> 20) + " MB of a file of "
                + std::to_string(bytes.size() >> 10) + " KB";
            return result;
        }
        return result;
    }

private:
    const std::vector<BaseFile>& m_bases;
    Dice m_dice;
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, "check_fuzz", options))
        return 2;
    // libxml2's memory is counted with the rest.
    xmlMemSetup(uncounted, counted, recounted, countedCopy);
    xmlInitParser();
    const fs::path base = fs::temp_directory_path() / ("check_fuzz-base-" + std::to_string(::getpid()));
    const std::vector<BaseFile> bases = baseFiles(base);
    std::error_code ignored;
    fs::remove_all(base, ignored);
    if (bases.size() < 4) {
        std::fprintf(stderr, "check_fuzz: the demo's files could not be written\n");
        return 2;
    }
    const int status = runCases("check_fuzz", options, [&](const fs::path& folder, long number) {
        return Case(bases, options.seed, number).run(folder);
    });
    xmlCleanupParser();
    return status;
}
