#include "registers/company_files.h"

#include <unordered_set>

#include "payroll/company_register.h"
#include "records/channels.h"
#include "records/host_paths.h"
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

std::vector<int> scanCompanies(const records::PathMapper& paths, const records::Installation& installation)
{
    const std::vector<std::string> entries = paths.listDirectory(records::trim(installation.dataDirectory));
    const std::unordered_set<std::string> present(entries.begin(), entries.end());
    std::vector<int> companies;
    for (int n = 1; n <= kMaxCompany; ++n) {
        if (present.contains(records::digitsText(n)) && paths.fileExists(companyFileName(installation, n)))
            companies.push_back(n);
    }
    return companies;
}

std::string companyName(records::Channels& channels, int channel, const records::Installation& installation,
                        int company)
{
    const std::string fileName = companyFileName(installation, company);
    if (!channels.paths().fileExists(fileName))
        return {};
    // A record that cannot be read only leaves the name out; the window that opens the
    // company will tell.
    records::FailureHold hold(channels);
    channels.select(channel, fileName, payroll::kCompanyFileRecordLength);
    channels.openBinary();
    channels.setRecordNumber(1);
    channels.readRecord();
    const std::string record = channels.channel(channel).recordBuffer;
    channels.close(channel);
    channels.takeHeldFailure();
    if (record.empty() || record[0] != '$')
        return {};
    return std::string(records::trim(payroll::unpackCompanyRecord(record)[2]));
}

std::vector<CompanyChoice> companyChoices(records::Channels& channels, int channel,
                                          const records::Installation& installation)
{
    std::vector<CompanyChoice> choices;
    for (const int company : scanCompanies(channels.paths(), installation))
        choices.push_back({company, companyName(channels, channel, installation, company)});
    return choices;
}

} // namespace registers
