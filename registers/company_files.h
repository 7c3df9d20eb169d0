#pragma once

#include <string>
#include <vector>

namespace records {
class PathMapper;
struct Installation;
} // namespace records

// The company files of the company register: company n (1 to 999) keeps its master record
// in the data directory, folder n, file "dittg" n "." and characters 2-4 of the working
// year ("C:\nolv\nv770\2016\dati\\7\dittg7.016").
namespace registers {

inline constexpr int kMaxCompany = 999;

// The file name of company n, in the installation's notation, formed as the payroll suite
// forms it: the data directory (blanks trimmed), "\", n, "\dittg", n, ".", the year.
std::string companyFileName(const records::Installation& installation, int company);

// The numbers of the companies whose file exists, ascending. One listing of the data
// directory tells which company folders there are; only their files are looked up.
std::vector<int> scanCompanies(const records::PathMapper& paths, const records::Installation& installation);

} // namespace registers
