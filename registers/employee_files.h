#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace records {
struct Installation;
class PathMapper;
} // namespace records

// The employee data files of the employee register: per company and month the payroll
// program prepares "unb" + company + month + "." + year digits in the folder "\nolv\paghe",
// beside the company data file "una..." of the same name, and keeps a second set of them in
// "\nolv\pagmar".
namespace registers {

// The data-area selector: which folder the employee register takes its file from.
inline constexpr int kPagheArea = 1;
inline constexpr int kPagmarArea = 2;

// The employee data file that belongs to a company data file ("C:\nolv\paghe\una00903.016"):
// its first 8 characters, "paghe\unb" ("pagmar\unb" for the selector 2), its last 9
// characters ("C:\nolv\paghe\unb00903.016").
std::string employeeDataFile(std::string_view selectedDataFile, int dataAreaSelector);

// The company's name for the operator: field 11 of the header of the company data file,
// else field 2 of the company's master record in the company register, else nothing.
// Files that do not exist are not created; nothing is shown.
std::string companyNameOf(const records::PathMapper& paths, const records::Installation& installation,
                          std::string_view selectedDataFile);

// One employee data file of the working year, as the register can open it.
struct EmployeeFileChoice {
    std::string company; // three digits
    std::string month; // two digits
    int dataAreaSelector = kPagheArea;
    std::string selectedDataFile; // the company data file it belongs to (which may not exist)
    std::string employeeFile;
    std::int64_t recordCount = 0; // records the file holds, a last one cut short included
    std::string companyName;
};

// The employees of the company and month of a company data file ("C:\nolv\paghe\una00103.016"),
// as the UniEmens window hands them over: the employee data file beside it in "paghe", as
// many records as the company header states (field 20; none when the header cannot be read
// or states no whole number above 0), the company's name. Nothing is shown, nothing created.
EmployeeFileChoice employeesOfCompany(const records::PathMapper& paths, const records::Installation& installation,
                                      const std::string& companyDataFile);

// Every employee data file of the working year in the two folders, by folder ("paghe"
// first), company and month.
std::vector<EmployeeFileChoice> scanEmployeeFiles(const records::PathMapper& paths,
                                                  const records::Installation& installation);

} // namespace registers
