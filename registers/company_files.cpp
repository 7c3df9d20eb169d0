#include "registers/company_files.h"

#include "records/channels.h"
#include "records/installation.h"
#include "records/text.h"

namespace registers {

void completeInstallation(records::Channels& channels, records::Installation& installation)
{
    if (installation.dataDirectory.empty())
        records::readDrive(channels, installation);
    if (installation.workingYear.empty())
        records::readWorkingYear(channels, installation);
    channels.close(10);
}

std::string companyFileName(const records::Installation& installation, int company)
{
    const std::string number = records::digitsText(company);
    return std::string(records::trim(installation.dataDirectory)) + "\\" + number + "\\dittg" + number + "."
        + std::string(records::mid(installation.workingYear, 2, 3));
}

} // namespace registers
