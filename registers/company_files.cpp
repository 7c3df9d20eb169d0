#include "registers/company_files.h"

#include <utility>

#include "records/installation.h"
#include "records/text.h"

namespace registers {

std::vector<records::FileResult> completeInstallation(const records::PathMapper& paths,
                                                      records::Installation& installation)
{
    std::vector<records::FileResult> failures;
    if (installation.dataDirectory.empty()) {
        if (records::FileResult drive = records::readDrive(paths, installation); drive.failed())
            failures.push_back(std::move(drive));
    }
    if (installation.workingYear.empty()) {
        for (records::FileResult& failure : records::readWorkingYear(paths, installation))
            failures.push_back(std::move(failure));
    }
    return failures;
}

std::string companyFileName(const records::Installation& installation, int company)
{
    const std::string number = records::digitsText(company);
    return std::string(records::trim(installation.dataDirectory)) + "\\" + number + "\\dittg" + number + "."
        + std::string(records::mid(installation.workingYear, 2, 3));
}

} // namespace registers
