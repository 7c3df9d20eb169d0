#pragma once

#include <string>
#include <vector>

#include "records/file_result.h"

namespace records {
struct Installation;
class PathMapper;
} // namespace records

// The company files of the company register: company n (1 to 999) keeps its master record
// in the data directory, folder n, file "dittg" n "." and characters 2-4 of the working
// year ("C:\nolv\nv770\2016\dati\\7\dittg7.016").
namespace registers {

inline constexpr int kMaxCompany = 999;

// Reads what the registers need of the installation and no window has read yet, as those
// windows would: the drive prefix and data directory (createl's load), the working year
// (inditta's load). Returns the failures met, in the order the operator is to be shown them
// (records::showFailures()), at once, before anything else of the register; empty when
// nothing failed or nothing was missing.
std::vector<records::FileResult> completeInstallation(const records::PathMapper& paths,
                                                      records::Installation& installation);

// The file name of company n, in the installation's notation, formed as the payroll suite
// forms it: the data directory (blanks trimmed), "\", n, "\dittg", n, ".", the year.
std::string companyFileName(const records::Installation& installation, int company);

} // namespace registers
