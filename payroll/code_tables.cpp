#include "payroll/code_tables.h"

#include <algorithm>
#include <stdexcept>

#include "payroll/code_tables_data.h"
#include "records/cp1252.h"
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

const CodeTable& workerTypes()
{
    static const CodeTable table("worker_types.txt", tables::kWorkerTypes);
    return table;
}

const CodeTable& contributionTypes()
{
    static const CodeTable table("contribution_types.txt", tables::kContributionTypes);
    return table;
}

const CodeTable& legalForms()
{
    static const CodeTable table("legal_forms.txt", tables::kLegalForms);
    return table;
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
