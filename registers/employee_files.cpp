#include "registers/employee_files.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/record_file.h"
#include "records/text.h"
#include "registers/company_store.h"
#include "registers/employee_store.h"

namespace registers {

namespace {

// Record 1 of an existing file, empty when there is none or it cannot be read: a name is
// only looked up, and a file that cannot tell it shows no message.
std::string firstRecord(const records::PathMapper& paths, const std::string& fileName, int recordLength)
{
    if (!paths.fileExists(fileName))
        return {};
    records::RecordFile file(paths, fileName, recordLength);
    std::string record;
    if (file.open().ok())
        (void)file.read(1, record);
    return record;
}

} // namespace

std::string employeeDataFile(std::string_view selectedDataFile, int dataAreaSelector)
{
    const std::string_view tail
        = selectedDataFile.size() >= 9 ? selectedDataFile.substr(selectedDataFile.size() - 9) : selectedDataFile;
    return std::string(records::mid(selectedDataFile, 1, 8))
        + (dataAreaSelector == kPagmarArea ? "pagmar\\unb" : "paghe\\unb") + std::string(tail);
}

std::string companyNameOf(const records::PathMapper& paths, const records::Installation& installation,
                          std::string_view selectedDataFile)
{
    const std::string header = firstRecord(paths, std::string(selectedDataFile), payroll::kCompanyRecordLength);
    if (!header.empty()) {
        const payroll::RecordFields fields = payroll::unpackCompanyHeader(header, payroll::company::kName);
        if (!fields[payroll::company::kName].empty())
            return std::string(fields[payroll::company::kName]);
    }
    // The company's number is the three digits before the month: "...una00903.016".
    const std::string_view number
        = selectedDataFile.size() >= 9 ? selectedDataFile.substr(selectedDataFile.size() - 9, 3) : std::string_view{};
    if (!records::allDigits(number) || installation.dataDirectory.empty() || installation.workingYear.empty())
        return {};
    return CompanyStore(paths, installation).companyName(static_cast<int>(records::numericValue(number)));
}

EmployeeFileChoice employeesOfCompany(const records::PathMapper& paths, const records::Installation& installation,
                                      const std::string& companyDataFile)
{
    EmployeeFileChoice choice;
    choice.selectedDataFile = companyDataFile;
    choice.dataAreaSelector = kPagheArea;
    choice.employeeFile = employeeDataFile(companyDataFile, kPagheArea);
    // "...una00103.016": the company, then the month.
    if (companyDataFile.size() >= 9) {
        choice.company = companyDataFile.substr(companyDataFile.size() - 9, 3);
        choice.month = companyDataFile.substr(companyDataFile.size() - 6, 2);
    }
    const std::string header = firstRecord(paths, companyDataFile, payroll::kCompanyRecordLength);
    if (!header.empty()) {
        // A count from a damaged header (a fraction, "1E99") reads no record that is not there:
        // the window lists no further than the file goes.
        const double count = payroll::unpackCompanyHeader(header, payroll::company::kRecordCount)
                                 .number(payroll::company::kRecordCount);
        if (count >= 1 && count < 1e15)
            choice.recordCount = static_cast<std::int64_t>(std::floor(count));
    }
    choice.companyName = companyNameOf(paths, installation, companyDataFile);
    return choice;
}

std::vector<EmployeeFileChoice> scanEmployeeFiles(const records::PathMapper& paths,
                                                  const records::Installation& installation)
{
    const std::string year(records::mid(installation.workingYear, 2, 3));
    std::vector<EmployeeFileChoice> found;
    for (const int selector : {kPagheArea, kPagmarArea}) {
        const std::string folder
            = installation.drivePrefix + (selector == kPagmarArea ? "\\nolv\\pagmar" : "\\nolv\\paghe");
        std::vector<std::string> names = paths.listDirectory(folder);
        std::sort(names.begin(), names.end());
        const std::size_t first = found.size();
        for (const std::string& name : names) {
            // "unb" + company (3 digits) + month (01 to 12) + "." + the year's digits.
            if (name.size() != 8 + 1 + year.size() || !records::equalsIgnoreAsciiCase(name.substr(0, 3), "unb")
                || name[8] != '.' || name.substr(9) != year)
                continue;
            const std::string company = name.substr(3, 3);
            const std::string month = name.substr(6, 2);
            const double monthNumber = records::numericValue(month);
            if (!records::allDigits(company) || !records::allDigits(month) || monthNumber < 1 || monthNumber > 12)
                continue;
            const std::string path = folder + "\\" + name;
            if (!paths.fileExists(path))
                continue;
            EmployeeFileChoice choice;
            choice.company = company;
            choice.month = month;
            choice.dataAreaSelector = selector;
            choice.selectedDataFile = installation.drivePrefix + "\\nolv\\paghe\\una" + company + month + "." + year;
            choice.employeeFile = path;
            choice.recordCount = EmployeeStore(paths, path, selector).recordsInFile();
            choice.companyName = companyNameOf(paths, installation, choice.selectedDataFile);
            found.push_back(std::move(choice));
        }
        std::sort(found.begin() + static_cast<std::ptrdiff_t>(first), found.end(),
                  [](const EmployeeFileChoice& a, const EmployeeFileChoice& b) {
                      return std::tie(a.company, a.month) < std::tie(b.company, b.month);
                  });
    }
    return found;
}

} // namespace registers
