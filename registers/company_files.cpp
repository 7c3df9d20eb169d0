#include "registers/company_files.h"

#include "records/channels.h"
#include "records/installation.h"
#include "records/text.h"

namespace registers {

void completeInstallation(records::Channels& channels, records::Installation& installation)
{
    if (installation.dataDirectory.empty())
        channels.report(records::readDrive(channels.paths(), installation));
    if (installation.workingYear.empty()) {
        for (const records::FileResult& failure : records::readWorkingYear(channels.paths(), installation))
            channels.report(failure);
    }
}

std::string companyFileName(const records::Installation& installation, int company)
{
    const std::string number = records::digitsText(company);
    return std::string(records::trim(installation.dataDirectory)) + "\\" + number + "\\dittg" + number + "."
        + std::string(records::mid(installation.workingYear, 2, 3));
}

} // namespace registers
