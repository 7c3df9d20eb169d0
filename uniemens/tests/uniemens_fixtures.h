#pragma once

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/file_chooser.h"
#include "testing/temp_root.h"

// What the tests of the UniEmens form and of its window share: a small installation with the
// monthly data files of a few companies, and libxml2 to read back what was written. No test
// framework is assumed here.
namespace uniemens::testing {

// Host folder (below the root) of the checking program, where the XML files go.
inline constexpr const char* kXmlFolder = "c/Program Files/INPS/INPS uniEmens individuale";

// A small installation of the payroll suite on drive C: the year file and the checking
// program's folder, and the monthly UniEmens data files of the companies a test adds.
struct Installation {
    records::testing::TempRoot root;

    explicit Installation(std::string_view year = "2016")
    {
        root.write("c/WNOLV/anno1.dat", std::string(year) + "      ");
        std::filesystem::create_directories(root.path() / kXmlFolder);
    }

    // Name of a data file of company `code`, month `month` and the year digits "016".
    static std::string dataName(std::string_view kind, std::string_view code, std::string_view month)
    {
        return std::string(kind) + std::string(code) + std::string(month) + ".016";
    }

    void addCompany(std::string_view code, std::string_view month, const payroll::CompanyHeaderFields& header) const
    {
        root.write("c/nolv/paghe/" + dataName("una", code, month), payroll::packCompanyHeader(header));
    }
    void addEmployees(std::string_view code, std::string_view month, const std::string& records) const
    {
        root.write("c/nolv/paghe/" + dataName("unb", code, month), records);
    }
    void addCollaborators(std::string_view code, std::string_view month, const std::string& records) const
    {
        root.write("c/nolv/paghe/" + dataName("unc", code, month), records);
    }

    std::filesystem::path xmlFile(std::string_view name) const { return root.path() / kXmlFolder / name; }
    std::string readXml(std::string_view name) const { return records::testing::TempRoot::readFile(xmlFile(name)); }
    // Names of the files in the checking program's folder.
    std::vector<std::string> xmlFolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root.path() / kXmlFolder))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

// A company header of month 03 of 2016: code, kind ("0" employees, "1" collaborators), and
// the sender, company and position fields every declaration needs.
inline payroll::CompanyHeaderFields companyHeader(std::string_view code, std::string_view kind,
                                                  std::string_view name = "ROSSI COSTRUZIONI SRL")
{
    payroll::CompanyHeaderFields h;
    h[1] = code;
    h[2] = "03";
    h[3] = "2016";
    h[4] = "2";
    h[5] = "FRRLGU60A01L219K";
    h[6] = "STUDIO FERRERO";
    h[7] = "01234567890";
    h[9] = "8100";
    h[10] = "01987654321";
    h[11] = name;
    h[12] = kind;
    h[14] = "8100012345";
    h[15] = "0";
    return h;
}

// An employee of the month with the few fields every declaration needs.
inline payroll::EmployeeEntries employee(std::string_view fiscalCode, std::string_view surname, std::string_view name)
{
    payroll::EmployeeEntries f;
    f[1] = fiscalCode;
    f[2] = surname;
    f[3] = name;
    f[4] = "1";
    f[19] = "0";
    f[21] = "2000";
    f[22] = "660.00";
    f[63] = "2000";
    f[64] = "26";
    f[66] = "S";
    f[125] = "2000.00";
    return f;
}

// An employee company of March of composition `composition` with `employees` records in use.
inline void addEmployeeCompany(const Installation& installation, std::string_view code, std::string_view composition,
                               int employees, std::string_view name = "ROSSI SRL")
{
    payroll::CompanyHeaderFields h = companyHeader(code, "0", name);
    h[13] = composition;
    h[20] = std::to_string(employees);
    h[26] = std::to_string(employees);
    installation.addCompany(code, "03", h);
    std::string records;
    for (int k = 1; k <= employees; ++k)
        records += payroll::packEmployee(employee("RSSMRA80A01F205X", "ROSSI", "MARIO"));
    installation.addEmployees(code, "03", records);
}

// The chooser of a test: answers with the file it was given, and notes where it started.
class ScriptedFileChooser : public records::FileChooser {
public:
    std::string chooseFile(std::string_view title, std::string_view fileName, std::string_view filter,
                           const std::string& hostFolder) override
    {
        asked.push_back(std::string(title) + "|" + std::string(fileName) + "|" + std::string(filter) + "|" + hostFolder);
        return answer;
    }
    std::string answer;
    std::vector<std::string> asked;
};

// Parses `xml` with libxml2; the document, or null with `error` set when it is not well formed.
inline xmlDocPtr parseXml(const std::string& xml, std::string& error)
{
    xmlResetLastError();
    xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "declaration.xml", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) {
        const xmlError* last = xmlGetLastError();
        error = last != nullptr && last->message != nullptr ? last->message : "not well formed";
    }
    return doc;
}

inline void collectTexts(xmlNodePtr node, std::string_view element, std::vector<std::string>& texts)
{
    for (; node != nullptr; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        if (element == reinterpret_cast<const char*>(node->name)) {
            xmlChar* content = xmlNodeGetContent(node);
            texts.emplace_back(reinterpret_cast<const char*>(content));
            xmlFree(content);
        }
        collectTexts(node->children, element, texts);
    }
}

// The text content (UTF-8) of every element named `element`, in document order. When the
// file is not well-formed XML the list is empty and `error` says why.
inline std::vector<std::string> elementTexts(const std::string& xml, std::string_view element, std::string& error)
{
    std::vector<std::string> texts;
    xmlDocPtr doc = parseXml(xml, error);
    if (doc == nullptr)
        return texts;
    collectTexts(xmlDocGetRootElement(doc), element, texts);
    xmlFreeDoc(doc);
    return texts;
}

// How many times `part` occurs in `text`.
inline std::size_t occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Lines joined with CR LF, each ended by CR LF: the text form of the files.
inline std::string crlf(std::initializer_list<std::string_view> lines)
{
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace uniemens::testing
