#pragma once

#include <string>
#include <vector>

namespace records {
class Channels;
class PathMapper;
struct Installation;
} // namespace records

// The company files of the company register: company n (1 to 999) keeps its master record
// in the data directory, folder n, file "dittg" n "." and characters 2-4 of the working
// year ("C:\nolv\nv770\2016\dati\\7\dittg7.016").
namespace registers {

inline constexpr int kMaxCompany = 999;

// Reads what the registers need of the installation and no window has read yet, as those
// windows would: the drive prefix and data directory (createl's load), the working year
// (inditta's load). Channel 10 is used and closed again.
void completeInstallation(records::Channels& channels, records::Installation& installation);

// The file name of company n, in the installation's notation, formed as the payroll suite
// forms it: the data directory (blanks trimmed), "\", n, "\dittg", n, ".", the year.
std::string companyFileName(const records::Installation& installation, int company);

// The numbers of the companies whose file exists, ascending. One listing of the data
// directory tells which company folders there are; only their files are looked up.
std::vector<int> scanCompanies(const records::PathMapper& paths, const records::Installation& installation);

// The name of company n (field 2 of its master record, blanks trimmed); empty when its file
// does not exist, cannot be read or holds no saved record. Nothing is shown to the operator
// and nothing is created; `channel` is closed again.
std::string companyName(records::Channels& channels, int channel, const records::Installation& installation,
                        int company);

// A company of the scan as the operator picks it: its number and its name (field 2 of its
// master record, blanks trimmed; empty while the record has never been saved).
struct CompanyChoice {
    int company = 0;
    std::string name;
};
// The companies of the scan with their names, read on `channel`, which is closed again.
std::vector<CompanyChoice> companyChoices(records::Channels& channels, int channel,
                                          const records::Installation& installation);

} // namespace registers
