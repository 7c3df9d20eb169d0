#include "uniemens/company_files.h"

#include <unordered_set>

#include "payroll/company_record.h"
#include "records/channels.h"
#include "records/host_paths.h"
#include "records/prompter.h"
#include "records/text.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {

constexpr int kCompanyChannel = 1;
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
    const payroll::FieldTable fields = payroll::unpackCompanyHeader(headerRecord, payroll::company::kDeclarationKind);
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

HeaderRead readCompanyHeader(records::Channels& channels, const std::string& dataFile)
{
    HeaderRead result;
    channels.select(kCompanyChannel, dataFile, payroll::kCompanyRecordLength);
    // Opening a missing file would create it empty.
    if (!channels.paths().fileExists(dataFile)) {
        result.stopMessage = "Archivio inesistente " + dataFile;
        return result;
    }
    channels.openBinary();
    if (channels.lastError() != 0)
        return result;
    channels.setRecordNumber(1);
    channels.readRecord();
    if (channels.lastError() == 0) {
        result.read = true;
        result.record = channels.channel(kCompanyChannel).recordBuffer;
    }
    channels.close(kCompanyChannel);
    return result;
}

std::optional<CompanyHeading> readCompanyHeading(records::Channels& channels, records::Prompter& prompter,
                                                 const std::string& dataFile)
{
    const HeaderRead header = readCompanyHeader(channels, dataFile);
    if (!header.read) {
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

std::vector<ListedCompany> scanMonth(records::Channels& channels, std::string_view drivePrefix,
                                     std::string_view workingYear, int month)
{
    const std::string suffix = monthDigits(month) + "." + std::string(records::mid(workingYear, 2, 3));
    // One listing of the folder tells which of the 499 possible company files exist.
    const std::string folder = std::string(drivePrefix) + kPagheFolder;
    std::unordered_set<std::string> present;
    for (const std::string& name : channels.paths().listDirectory(folder))
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
        if (!channels.paths().fileExists(path))
            continue;
        channels.select(kCompanyChannel, path, payroll::kCompanyRecordLength);
        channels.openBinary();
        channels.setRecordNumber(1);
        channels.readRecord();
        const std::string& record = channels.channel(kCompanyChannel).recordBuffer;
        ListedCompany company;
        company.dataFile = path;
        company.code = code;
        company.name = shownText(records::mid(record, 130, 34));
        // A header that cannot be read (the channel has said so) still lists its file.
        company.item = (record.empty() ? code : shownText(records::mid(record, 2, 3))) + " " + company.name;
        if (!record.empty())
            company.heading = companyHeading(record);
        companies.push_back(std::move(company));
    }
    channels.close(kCompanyChannel);
    return companies;
}

} // namespace uniemens
