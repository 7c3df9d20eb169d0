#pragma once

#include <array>
#include <string>
#include <string_view>

namespace payroll {

inline constexpr int kHeaderFieldCount = 44;

// The CU header table: the withholding agent's, supplier's and intermediary's data of the
// CU header record, fields 1..44 (index 0 unused).
using HeaderTable = std::array<std::string, kHeaderFieldCount + 1>;

// The fields of the CU header table that the run reads by meaning (the others are taken by
// number, position by position, into the records they fill).
namespace header_field {
inline constexpr int kAgentKind = 2;            // "D": the withholding agent is a person
inline constexpr int kAgentFiscalCode = 3;
inline constexpr int kNameFirstPart = 5;        // surname or denomination
inline constexpr int kNameSecondPart = 6;       // first name or rest of the denomination
inline constexpr int kEmployeeCount = 14;
inline constexpr int kRecordCWanted = 16;       // "X": the file carries record C
inline constexpr int kSupplierType = 19;
inline constexpr int kSupplierFiscalCode = 20;
inline constexpr int kCommitmentType = 21;
inline constexpr int kCommitmentDate = 22;      // ddmmyyyy
inline constexpr int kReplacedSubmission = 42;  // protocol of the supply replaced or annulled
inline constexpr int kReplacedCertificate = 43; // its certification number
} // namespace header_field

struct HeaderSlot {
    int position; // 1-based in the 1200-character CU header record
    int length;
};
HeaderSlot headerFieldSlot(int field);

// Cuts the 44 fields out of the CU header record. A field made only of NUL characters
// (never filled by the payroll program) becomes blanks; every field is put in upper case.
// A short record leaves the fields beyond its end short or empty.
HeaderTable unpackHeaderTable(std::string_view record);

inline constexpr int kHeaderRecordLength = 1200;

// The reverse, for building CU header files (demo installation, tests, benchmark): a
// 1200-character record with `status` in position 1 and every field cut or filled with
// blanks to its width.
std::string packHeaderRecord(const HeaderTable& header, char status = '$');

// The second record of a CU header file (1200 characters): `status` in position 1, the CU
// kind in position 2 ('1' employment income, '2' self-employment income), the number of
// employee records right-aligned in positions 3-6 (a longer text is cut to its last four
// characters), blanks after.
std::string packSecondHeaderRecord(char cuKind, std::string_view employeeCount, char status = '$');

} // namespace payroll
