#include "registers/company_files.h"

#include <unordered_set>

#include "records/host_paths.h"
#include "records/installation.h"
#include "records/text.h"

namespace registers {

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

} // namespace registers
