#include "cu/telematic/archive.h"

#include <unordered_set>

#include "payroll/cu_header.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/text.h"
#include "records/workplace.h"

namespace cu::telematic {

namespace header_field = payroll::header_field;

namespace {

// Reads record 1 of the header file `fileName`. A failure is shown at once: a file that
// cannot be opened shows its message and then that of the read, which finds nothing open;
// the record is then empty.
std::string readHeaderRecord(const records::Workplace& workplace, const std::string& fileName)
{
    records::RecordFile file(workplace.paths, fileName, payroll::kHeaderRecordLength);
    std::string record;
    records::showFailure(workplace.prompter, file.open());
    records::showFailure(workplace.prompter, file.read(1, record));
    return record;
}

} // namespace

std::string headerFileName(const records::Installation& installation, std::string_view number)
{
    return installation.dataDirectory + "FCU" + std::string(number) + kArchiveExtension;
}

std::string employeeFileName(const records::Installation& installation, std::string_view number)
{
    return installation.dataDirectory + "DCU" + std::string(number) + kArchiveExtension;
}

std::string telematicFileName(std::string_view number)
{
    // "17": the last two digits of the certification's year, as in the extension.
    return "TCU" + std::string(number) + records::kCuYearDigits;
}

HeaderSummary summarizeHeader(std::string_view number, std::string_view headerRecord)
{
    const std::string record(headerRecord);
    HeaderSummary summary;
    summary.listItem = std::string(number) + " " + std::string(records::trim(records::mid(record, 21, 24))) + "-"
        + std::string(records::trim(records::mid(record, 45, 24)));
    switch (record.size() >= 2 ? record[1] : '\0') {
    case '0': summary.storedSupplyLetter = "N"; break;
    case '1': summary.storedSupplyLetter = "A"; break;
    case '2': summary.storedSupplyLetter = "S"; break;
    default: break;
    }
    summary.intermediaryFiscalCode = records::mid(record, 207, 16);
    summary.commitmentType = records::mid(record, 223, 1);
    summary.commitmentDate = records::mid(record, 224, 8);
    summary.intermediaryPhone = records::mid(record, 330, 12);
    summary.intermediaryEmail = records::mid(record, 343, 45);
    const payroll::HeaderTable fields = payroll::unpackHeaderTable(record);
    summary.commitmentTypeStated = records::numericValue(fields[header_field::kCommitmentType]) != 0;
    summary.commitmentDateStated = records::numericValue(fields[header_field::kCommitmentDate]) != 0;
    return summary;
}

std::vector<ListedArchive> listArchives(const records::Workplace& workplace)
{
    const records::Installation& installation = workplace.installation;
    // One listing of the data folder tells which of the 999 possible header files exist.
    std::unordered_set<std::string> present;
    for (const std::string& name : workplace.paths.listDirectory(installation.dataDirectory))
        present.insert(records::toLowerAscii(name));

    std::vector<ListedArchive> archives;
    for (int n = 1; n <= kMaxArchiveNumber; ++n) {
        const std::string number = records::digitsText(n);
        if (!present.contains(records::toLowerAscii("fcu" + number + kArchiveExtension)))
            continue;
        archives.push_back({n, readHeaderRecord(workplace, headerFileName(installation, number))});
    }
    return archives;
}

ArchiveOpening openArchive(const records::Workplace& workplace, std::string_view typedNumber)
{
    ArchiveOpening opening;
    opening.number = std::string(records::trim(typedNumber));
    if (records::numericValue(opening.number) == 0) {
        opening.stopMessage = "Certificazione non ancora selezionata ";
        return opening;
    }
    const std::string fileName = headerFileName(workplace.installation, opening.number);
    if (!workplace.paths.fileExists(fileName)) {
        opening.outcome = ArchiveOpening::Outcome::Missing;
        opening.stopMessage = "Archivio inesistente ";
        return opening;
    }
    opening.outcome = ArchiveOpening::Outcome::Opened;
    opening.headerRecord = readHeaderRecord(workplace, fileName);
    return opening;
}

void showStop(records::Prompter& prompter, std::string_view message)
{
    prompter.message("Accesso", message, records::Icon::Stop);
}

} // namespace cu::telematic
