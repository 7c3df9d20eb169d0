#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/field_layout.h"

// The employee data file "unb" + company + month + "." + year digits: one 2000-character
// record per employee of the month, read by the UniEmens writer (fields 1 to 266) and by the
// employee register (entries 1 to 267).
namespace payroll {

inline constexpr int kEmployeeRecordLength = 2000;
inline constexpr int kEmployeeFieldCount = 266; // what the UniEmens writer reads
inline constexpr int kEmployeeEntryCount = 267; // what the employee register reads and saves

namespace employee {
inline constexpr int kFiscalCode = 1;
inline constexpr int kSurname = 2;
inline constexpr int kFirstName = 3;
inline constexpr int kQualification1 = 4;
inline constexpr int kPartTimePercent = 12; // greater than zero for a part-time worker
inline constexpr int kWorkerType = 19;      // the sport and entertainment codes "SC", "SY" ...
inline constexpr int kApprenticeship = 20;  // "APPA", "APPB", "APPC", or a statistical code
inline constexpr int kDayCount = 183;       // days of the month
inline constexpr int kDayMarkerBase = 183;  // field 183 + d: day d worked ("S") or not ("N")
inline constexpr int kDayCoverageBase = 220; // field 220 + d: coverage of day d
inline constexpr int kDaysInMonth = 31;
inline constexpr int kHiringType = 15;       // TipoAssunzione: "2" or "2T" from another INPS position
inline constexpr int kTfrChoiceKind = 116;   // TipoScelta: "IQ" severance pay in the pay packet
inline constexpr int kTfrChoiceDate = 117;   // DataScelta, YYYYMMDD
inline constexpr int kFundAdhesionDate = 121; // DataAdesione to a pension fund, YYYYMMDD
inline constexpr int kHiredMarker = 153;     // "X" (any case): hired this month
inline constexpr int kTerminatedMarker = 154; // "X" (any case): terminated this month
inline constexpr int kPayKind = 218;      // "M" monthly, "G" daily
inline constexpr int kPost95 = 219;       // the regime after 1995, "S" or "N"
inline constexpr int kOperatingUnit = 257;
inline constexpr int kQuirPaidInPayslip = 259; // QUIRLiquidataBustaPaga
inline constexpr int kQuirFinanced = 260;      // QUIRFinMaturata
inline constexpr int kFirstConvAmount = 261;   // Importo of the first Conv
inline constexpr int kSecondConvAmount = 263;  // Importo of the second Conv
inline constexpr int kThirdConvAmount = 265;   // Importo of the third Conv
// The second set of employee files, in the folder "pagmar", lays out entries 1 to 214 as
// above; it keeps the regime after 1995 in a 12-character entry 216 at position 1363, and
// the rest of its layout is not known.
inline constexpr int kLastCommonEntry = 214;
inline constexpr int kPagmarPost95 = 216;
inline constexpr int kPagmarPost95Position = 1363;
inline constexpr int kPagmarPost95Length = 12;
} // namespace employee

// Entries 1 to 267, indexed by number (index 0 unused).
using EmployeeEntries = std::array<std::string, kEmployeeEntryCount + 1>;

// Entries 1 to 267 (entry 267: positions 1543-1554).
const FieldLayout& employeeLayout();

// Entries 1 to 267 exactly as stored, for the employee register.
inline std::vector<std::string> unpackEmployeeEntries(std::string_view record)
{
    return unpackRaw(employeeLayout(), record);
}

// A 2000-character employee record (see pack()).
inline std::string packEmployee(const EmployeeEntries& entries, char status = kInUse)
{
    return pack(employeeLayout(), entries, status);
}

} // namespace payroll
