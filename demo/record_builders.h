#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "payroll/cu_archive.h"
#include "payroll/employee_record.h"

// Records of the payroll suite's files built from their fields, checked against the widths
// of the fields: the demo installation is made of them, and tests of every layer make their
// data with them, so that test data and demo data have one shape.
namespace demo {

inline constexpr std::size_t kCuHeaderRecordLength = 1200;
inline constexpr std::size_t kCompanyRecordLength = payroll::kCompanyRecordLength;
inline constexpr std::size_t kEmployeeRecordLength = payroll::kEmployeeRecordLength;
inline constexpr std::size_t kCollaboratorRecordLength = payroll::kCollaboratorRecordLength;
inline constexpr std::size_t kMunicipalityRecordLength = 200;
inline constexpr std::size_t kDriveRecordLength = 10;

inline constexpr int kCuHeaderFieldCount = 44;
inline constexpr int kCompanyHeaderFieldCount = payroll::kCompanyHeaderFieldCount;
inline constexpr int kEmployeeFieldCount = payroll::kEmployeeFieldCount;
inline constexpr int kCollaboratorFieldCount = payroll::kCollaboratorFieldCount;

// Fields of the record files, indexed by the field numbers the readers use (index 0 is
// not used). Texts are stored left-aligned and filled with blanks to their width; amounts
// are given already formatted (see amountText). A text longer than its field throws
// std::length_error naming the field, so that a slip in test data cannot go unnoticed.
// The UniEmens data files are packed with the payroll suite's own layouts (payroll/).
using CuHeaderFields = std::array<std::string, kCuHeaderFieldCount + 1>;
using CompanyHeaderFields = payroll::CompanyHeaderFields;
using EmployeeFields = payroll::EmployeeEntries; // the employee register's entry 267 too
using CollaboratorFields = payroll::CollaboratorFields;

// Record 1 of a CU header file "FCU" n ".017" (1200 characters): `status` in position 1, then
// the 44 header fields (field 1, position 2, is the kind of supply: "0", "1" or "2").
std::string cuHeaderRecord(const CuHeaderFields& fields, char status = '$');
// Record 2 of a CU header file: `status`, the CU kind ('1' employment income, '2'
// self-employment income) and the number of employee records in four digits.
std::string cuSecondHeaderRecord(char cuKind, int employeeRecords, char status = '$');

// Record 1 of a company data file "una..." (1000 characters), header fields 1 to 70.
std::string companyHeaderRecord(const CompanyHeaderFields& fields, char status = '$');
// A record of an employee data file "unb..." (2000 characters), employee entries 1 to 267.
std::string employeeRecord(const EmployeeFields& fields, char status = '$');
// A record of a collaborator data file "unc..." (128 characters), fields 1 to 19.
std::string collaboratorRecord(const CollaboratorFields& fields, char status = '$');

// A record of the municipality table "\tabcom\comuni.dat" (200 characters): `status`, the
// code in positions 2-5, the name in 11-34, the province in 35-36, the postcode in 37-41.
struct Municipality {
    std::string code;
    std::string name;
    std::string province;
    std::string postcode;
};
std::string municipalityRecord(const Municipality& municipality, char status = '$');

// An amount as the payroll suite stores it: two decimals, a full stop, right-aligned in
// `width` ("     1234.56").
std::string amountText(double amount, std::size_t width = 12);

// Entry k of the CU field tables (CU k, CU2 k), checked against its width in the archive
// record; amounts are written with amountText at the entry's width.
void setCu(payroll::CuFields& fields, int entry, std::string_view text);
void setCuAmount(payroll::CuFields& fields, int entry, double amount);
void setCu2(payroll::CuFields& fields, int entry, std::string_view text);
void setCu2Amount(payroll::CuFields& fields, int entry, double amount);

} // namespace demo
