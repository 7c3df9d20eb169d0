#include "payroll/company_code_lists.h"

#include <filesystem>
#include <functional>
#include <utility>

#include "payroll/code_tables.h"
#include "records/host_paths.h"
#include "records/record_file.h"
#include "records/text.h"

namespace payroll {

namespace {

// Calls `take` with the number and bytes of every record marked "$", in order, and keeps the
// failures met in `failures`.
void forEachMarkedRecord(const records::PathMapper& paths, const std::string& fileName, int recordLength,
                         std::vector<records::FileResult>& failures,
                         const std::function<bool(int, const std::string&)>& take)
{
    if (!paths.fileExists(fileName))
        return;
    std::error_code error;
    const auto size = std::filesystem::file_size(paths.hostPath(fileName), error);
    if (error)
        return;
    const auto count = static_cast<int>(size / static_cast<std::uintmax_t>(recordLength));

    const auto keep = [&failures](records::FileResult result) {
        if (result.failed())
            failures.push_back(std::move(result));
    };
    records::RecordFile file(paths, fileName, recordLength);
    keep(file.open());
    std::string record;
    for (int k = 1; k <= count; ++k) {
        keep(file.read(k, record));
        if (!record.empty() && record[0] == '$' && !take(k, record))
            break;
    }
}

std::string entryText(const std::string& record, std::size_t length)
{
    return std::string(records::trimRight(records::mid(record, 2, length)));
}

} // namespace

std::vector<std::string> legalFormEntries(const CodeTables& tables)
{
    return listEntries(tables[Codes::LegalForm], 3);
}

std::vector<std::string> sectorEntries(const CodeTables& tables)
{
    return listEntries(tables[Codes::Sector], 2);
}

std::optional<std::string> describeListedCode(const std::vector<std::string>& entries, std::string_view code,
                                              std::size_t codeLength)
{
    const std::string_view wanted = records::trim(code);
    if (wanted.empty())
        return std::nullopt;
    for (const std::string& entry : entries) {
        const std::string_view text(entry);
        if (records::trim(text.substr(0, std::min(codeLength, text.size()))) == wanted)
            return std::string(records::trim(text.substr(std::min(codeLength, text.size()))));
    }
    return std::nullopt;
}

CodeListFile activityEntries(const records::PathMapper& paths, const std::string& drivePrefix)
{
    CodeListFile list;
    forEachMarkedRecord(paths, drivePrefix + kActivityFile, kCodeTableRecordLength, list.failures,
                        [&](int, const std::string& record) {
                            list.entries.push_back(entryText(record, 80));
                            return true;
                        });
    return list;
}

CodeListFile intermediaryEntries(const records::PathMapper& paths, const std::string& drivePrefix)
{
    CodeListFile list;
    forEachMarkedRecord(paths, drivePrefix + kIntermediaryFile, kCodeTableRecordLength, list.failures,
                        [&](int, const std::string& record) {
                            list.entries.push_back(entryText(record, 80));
                            return true;
                        });
    return list;
}

CodeListFile accountPersonalizationEntries(const records::PathMapper& paths, const std::string& dataDirectory)
{
    CodeListFile list;
    forEachMarkedRecord(paths, dataDirectory + kAccountPersonalizationFile, kAccountPersonalizationRecordLength,
                        list.failures, [&](int number, const std::string& record) {
                            if (number > 99)
                                return false;
                            list.entries.push_back(records::padLeft(records::digitsText(number), 2, '0') + " "
                                                   + entryText(record, 60));
                            return true;
                        });
    return list;
}

} // namespace payroll
