#include "payroll/code_tables.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "payroll/code_tables_data.h"
#include "records/cp1252.h"
#include "records/host_paths.h"
#include "records/text.h"

namespace payroll {

namespace {

// The lines of a table file that carry data, with their line numbers; "|"-separated.
template <class Each> void forEachDataLine(std::string_view name, std::string_view text, Each each)
{
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (records::trim(line).empty() || line.front() == '#')
            continue;
        const std::optional<std::string> bytes = records::utf8ToCp1252Strict(line);
        // A character the code page lacks would come out as "?".
        if (!bytes || std::count(bytes->begin(), bytes->end(), '?') != std::count(line.begin(), line.end(), '?'))
            throw std::invalid_argument(std::string(name) + ", riga " + std::to_string(number)
                                        + ": testo non rappresentabile in Windows-1252");
        each(number, *bytes);
    }
}

std::vector<std::string> splitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            return fields;
        start = bar + 1;
    }
}

std::invalid_argument malformed(std::string_view name, int line, std::string_view what)
{
    return std::invalid_argument(std::string(name) + ", riga " + std::to_string(line) + ": " + std::string(what));
}

FieldKind kindOf(std::string_view letter, std::string_view name, int line)
{
    if (letter == "T")
        return FieldKind::Text;
    if (letter == "I")
        return FieldKind::Amount;
    if (letter == "N")
        return FieldKind::Number;
    if (letter == "D")
        return FieldKind::Date;
    throw malformed(name, line, "genere del campo sconosciuto");
}

} // namespace

CodeTable::CodeTable(std::string_view name, std::string_view utf8Text)
{
    forEachDataLine(name, utf8Text, [&](int line, const std::string& bytes) {
        if (bytes.starts_with("---")) {
            m_entries.push_back({{}, bytes, true});
            return;
        }
        const std::vector<std::string> fields = splitFields(bytes);
        if (fields.size() != 2)
            throw malformed(name, line, "attesi codice|descrizione");
        const std::string code(records::trim(fields[0]));
        if (code.empty())
            throw malformed(name, line, "codice vuoto");
        if (find(code))
            throw malformed(name, line, "codice ripetuto");
        m_entries.push_back({code, std::string(records::trim(fields[1])), false});
    });
}

const CodeEntry* CodeTable::find(std::string_view code) const
{
    const std::string_view wanted = records::trim(code);
    for (const CodeEntry& entry : m_entries) {
        if (!entry.heading && entry.code == wanted)
            return &entry;
    }
    return nullptr;
}

std::optional<std::string> CodeTable::describe(std::string_view code) const
{
    const CodeEntry* entry = find(code);
    if (!entry)
        return std::nullopt;
    return entry->description.empty() ? std::string(kNoDescription) : entry->description;
}

std::vector<std::string> CodeTable::join(std::string_view bytes, std::size_t maxCodeLength)
{
    std::vector<std::string> problems;
    // A file saved by a modern editor is UTF-8; the payroll suite's own files are
    // Windows-1252. Bytes that are well-formed UTF-8 and go beyond ASCII are hardly ever
    // Windows-1252 text.
    const bool marked = bytes.starts_with("\xEF\xBB\xBF");
    if (marked)
        bytes.remove_prefix(3);
    const bool utf8 = marked
        || (std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })
            && records::utf8ToCp1252Strict(bytes).has_value());

    std::vector<std::pair<std::string, int>> given; // codes of this file, with their lines
    int number = 0;
    while (!bytes.empty()) {
        ++number;
        const std::size_t end = bytes.find('\n');
        std::string_view raw = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        if (records::trim(raw).empty() || raw.front() == '#')
            continue;
        const auto refuse = [&](const std::string& what) {
            problems.push_back("riga " + std::to_string(number) + ": " + what);
        };
        std::string line(raw);
        if (utf8) {
            const std::optional<std::string> converted = records::utf8ToCp1252Strict(raw);
            // A character the code page lacks would come out as "?".
            if (!converted || std::count(converted->begin(), converted->end(), '?') != std::count(raw.begin(), raw.end(), '?')) {
                refuse("testo non rappresentabile in Windows-1252");
                continue;
            }
            line = *converted;
        }
        if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 32; })) {
            refuse("carattere di controllo nel testo");
            continue;
        }
        if (line.starts_with("---")) {
            m_entries.push_back({{}, line, true});
            continue;
        }
        const std::vector<std::string> fields = splitFields(line);
        if (fields.size() < 2) {
            refuse("manca il separatore \"|\" tra codice e descrizione");
            continue;
        }
        if (fields.size() > 2) {
            refuse("piu' di un separatore \"|\" (attesi codice|descrizione)");
            continue;
        }
        const std::string code(records::trim(fields[0]));
        const std::string description(records::trim(fields[1]));
        if (code.empty()) {
            refuse("codice vuoto");
            continue;
        }
        if (code.find(records::kBlank) != std::string::npos) {
            refuse("codice con spazi all'interno: \"" + code + "\"");
            continue;
        }
        if (code.size() > maxCodeLength) {
            refuse("codice \"" + code + "\" piu' lungo di " + std::to_string(maxCodeLength)
                   + (maxCodeLength == 1 ? " carattere" : " caratteri"));
            continue;
        }
        const auto earlier = std::find_if(given.begin(), given.end(), [&](const auto& g) { return g.first == code; });
        if (earlier != given.end()) {
            refuse("codice \"" + code + "\" gia' indicato alla riga " + std::to_string(earlier->second));
            continue;
        }
        given.emplace_back(code, number);
        const auto known = std::find_if(m_entries.begin(), m_entries.end(),
                                        [&](const CodeEntry& entry) { return !entry.heading && entry.code == code; });
        if (known == m_entries.end())
            m_entries.push_back({code, description, false});
        else if (!description.empty())
            known->description = description;
    }
    return problems;
}

namespace {

struct TableSource {
    const char* fileName;
    std::size_t maxCodeLength;
    const std::string_view* text; // the built-in file
};

// In the order of Codes.
const TableSource kSources[kCodeTableCount] = {
    {"qualifica1.txt", 2, &tables::kQualification1},
    {"qualifica2.txt", 2, &tables::kQualification2},
    {"qualifica3.txt", 2, &tables::kQualification3},
    {"tipo_contribuzione.txt", 4, &tables::kContributionTypes},
    {"cittadinanza.txt", 4, &tables::kCitizenships},
    {"tipo_assunzione.txt", 2, &tables::kHiringKinds},
    {"tipo_cessazione.txt", 2, &tables::kTerminationReasons},
    {"tipo_lavoratore.txt", 2, &tables::kWorkerTypes},
    {"tipo_lav_stat.txt", 4, &tables::kWorkerKinds},
    {"natura_giuridica.txt", 2, &tables::kLegalForms},
    {"settore.txt", 2, &tables::kSectors},
};

const TableSource& sourceOf(Codes table)
{
    return kSources[static_cast<std::size_t>(table)];
}

// The tables as built into the program, read once.
const std::array<CodeTable, kCodeTableCount>& builtInTables()
{
    static const std::array<CodeTable, kCodeTableCount> built = [] {
        std::array<CodeTable, kCodeTableCount> all;
        for (std::size_t i = 0; i < kCodeTableCount; ++i)
            all[i] = CodeTable(kSources[i].fileName, *kSources[i].text);
        return all;
    }();
    return built;
}

// Why a file of the installation could not be read whole, or nothing when it was.
std::optional<std::string> readWhole(const std::filesystem::path& file, std::string& bytes)
{
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
        return std::string("e' una cartella");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::string("non si puo' aprire");
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    if (in.bad())
        return std::string("non si puo' leggere per intero");
    return std::nullopt;
}

} // namespace

std::string_view tableFileName(Codes table)
{
    return sourceOf(table).fileName;
}

std::size_t maxCodeLength(Codes table)
{
    return sourceOf(table).maxCodeLength;
}

CodeTables::CodeTables()
    : m_tables(builtInTables())
{
}

CodeTables::CodeTables(const records::PathMapper& paths, std::string_view drivePrefix)
    : CodeTables()
{
    const std::string folder = std::string(drivePrefix) + kInstallationTableFolder;
    // Most installations keep no tables of their own: one look at the folder says so.
    const std::vector<std::string> present = paths.listDirectory(folder);
    for (std::size_t i = 0; i < kCodeTableCount; ++i) {
        const std::string name = kSources[i].fileName;
        const bool there = std::any_of(present.begin(), present.end(), [&](const std::string& entry) {
            return records::equalsIgnoreAsciiCase(entry, name);
        });
        if (!there)
            continue;
        const std::string fileName = folder + name;
        std::string bytes;
        if (const std::optional<std::string> unread = readWhole(paths.hostPath(fileName), bytes)) {
            m_problems.push_back(fileName + ": " + *unread + "; vale la tabella del programma");
            continue;
        }
        for (const std::string& problem : m_tables[i].join(bytes, kSources[i].maxCodeLength))
            m_problems.push_back(fileName + ", " + problem + "; riga non usata");
    }
}

std::string CodeTables::problemSummary() const
{
    if (m_problems.empty())
        return {};
    std::string summary = "Tabelle dei codici: " + m_problems.front();
    if (m_problems.size() == 2)
        summary += " (e un altro errore)";
    else if (m_problems.size() > 2)
        summary += " (e altri " + std::to_string(m_problems.size() - 1) + " errori)";
    return summary;
}

std::vector<std::string> listEntries(const CodeTable& table, std::size_t codeWidth)
{
    std::vector<std::string> entries;
    for (const CodeEntry& entry : table.entries()) {
        if (entry.heading) {
            entries.push_back(entry.description);
            continue;
        }
        entries.push_back(records::padRight(entry.code, std::max(codeWidth, entry.code.size() + 1))
                          + *table.describe(entry.code));
    }
    return entries;
}

const std::vector<EmployeeFieldName>& employeeFieldNames()
{
    static const std::vector<EmployeeFieldName> names = [] {
        constexpr std::string_view name = "employee_fields.txt";
        std::vector<EmployeeFieldName> all(1);
        forEachDataLine(name, tables::kEmployeeFields, [&](int line, const std::string& bytes) {
            const std::vector<std::string> fields = splitFields(bytes);
            if (fields.size() != 4)
                throw malformed(name, line, "attesi numero|genere|elemento|descrizione");
            if (fields[0] != std::to_string(all.size()))
                throw malformed(name, line, "atteso il campo " + std::to_string(all.size()));
            all.push_back({static_cast<int>(all.size()), kindOf(fields[1], name, line), fields[2], fields[3]});
        });
        return all;
    }();
    return names;
}

std::string shownNumber(std::string_view stored)
{
    std::string text(records::trim(stored));
    bool digits = false;
    std::size_t points = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.')
            ++points;
        else if (!((c == '-' || c == '+') && i == 0))
            return text;
    }
    if (digits && points == 1)
        text[text.find('.')] = ',';
    return text;
}

} // namespace payroll
