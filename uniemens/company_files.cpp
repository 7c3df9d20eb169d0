#include "uniemens/company_files.h"

#include <unordered_set>

#include "payroll/company_record.h"
#include "records/host_paths.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/text.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {

constexpr const char* kPagheFolder = "\\nolv\\paghe";

// A list item shows stored text; characters the payroll program never wrote are blanks.
std::string shownText(std::string_view stored)
{
    std::string text(stored);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    return text;
}

} // namespace

CompanyHeading companyHeading(std::string_view headerRecord)
{
    const payroll::RecordFields fields = payroll::unpackCompanyHeader(headerRecord, payroll::company::kDeclarationKind);
    const double kind = fields.number(payroll::company::kDeclarationKind);
    return {std::string(fields[payroll::company::kCode]),
            kind == 0   ? DeclarationKind::Employees
                : kind == 1 ? DeclarationKind::Collaborators
                            : DeclarationKind::Other};
}

std::string namedCode(std::string_view dataFile)
{
    const std::size_t slash = dataFile.find_last_of("\\/");
    return std::string(records::mid(dataFile.substr(slash == std::string_view::npos ? 0 : slash + 1), 4, 3));
}

std::string otherCompanyRefusal(const std::string& dataFile, const CompanyHeading& heading)
{
    if (heading.code == namedCode(dataFile))
        return {};
    return "Il file " + dataFile + " contiene la ditta " + heading.code + " ";
}

HeaderRead readCompanyHeader(const records::PathMapper& paths, const std::string& dataFile)
{
    HeaderRead result;
    // Opening a missing file would create it empty.
    if (!paths.fileExists(dataFile)) {
        result.stopMessage = "Archivio inesistente " + dataFile;
        return result;
    }
    records::RecordFile file(paths, dataFile, payroll::kCompanyRecordLength);
    result.failure = file.open();
    if (result.failure.ok())
        result.failure = file.read(1, result.record);
    result.read = result.failure.ok();
    return result;
}

std::optional<CompanyHeading> readCompanyHeading(const records::PathMapper& paths, records::Prompter& prompter,
                                                 const std::string& dataFile)
{
    const HeaderRead header = readCompanyHeader(paths, dataFile);
    if (!header.read) {
        records::showFailure(prompter, header.failure);
        if (!header.stopMessage.empty())
            prompter.message(kAccessTitle, header.stopMessage, records::Icon::Stop);
        return std::nullopt;
    }
    return companyHeading(header.record);
}

std::string monthDigits(int month)
{
    return records::padLeft(records::digitsText(month), 2, '0');
}

std::vector<ListedCompany> scanMonth(const records::PathMapper& paths, std::string_view drivePrefix,
                                     std::string_view workingYear, int month)
{
    const std::string suffix = monthDigits(month) + "." + std::string(records::mid(workingYear, 2, 3));
    // One listing of the folder tells which of the 499 possible company files exist.
    const std::string folder = std::string(drivePrefix) + kPagheFolder;
    std::unordered_set<std::string> present;
    for (const std::string& name : paths.listDirectory(folder))
        present.insert(records::toLowerAscii(name));

    std::vector<ListedCompany> companies;
    for (int n = 1; n <= kMaxCompany; ++n) {
        const std::string code = records::padLeft(records::digitsText(n), 3, '0');
        const std::string name = "una" + code + suffix;
        if (!present.contains(records::toLowerAscii(name)))
            continue;
        const std::string path = folder + "\\" + name;
        // A link to nothing or a folder is no company file; opening a link to nothing
        // would create its target.
        if (!paths.fileExists(path))
            continue;
        ListedCompany company;
        records::RecordFile file(paths, path, payroll::kCompanyRecordLength);
        std::string record;
        // A file that cannot be opened also fails the read of its header: both are told.
        if (records::FileResult opened = file.open(); opened.failed())
            company.readFailures.push_back(std::move(opened));
        if (records::FileResult read = file.read(1, record); read.failed())
            company.readFailures.push_back(std::move(read));
        company.dataFile = path;
        company.code = code;
        company.name = shownText(records::mid(record, 130, 34));
        // A header that cannot be read still lists its file.
        company.item = (record.empty() ? code : shownText(records::mid(record, 2, 3))) + " " + company.name;
        if (!record.empty())
            company.heading = companyHeading(record);
        companies.push_back(std::move(company));
    }
    return companies;
}

void showScanFailures(records::Prompter& prompter, const std::vector<ListedCompany>& listed)
{
    for (const ListedCompany& company : listed)
        records::showFailures(prompter, company.readFailures);
}

} // namespace uniemens
