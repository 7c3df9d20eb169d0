#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The master record of a company in the payroll suite's company register: record 1 of the
// company file "dittg", "$" in position 1 once the record has been saved, then 34 fields
// without separators, 344 characters in all. The file's records are longer (800 in the
// company files of the data directory); what lies after position 344 is not ours.
namespace payroll {

inline constexpr int kCompanyFieldCount = 34;
// "$" and fields 1 to 34: the characters of a record that a save writes.
inline constexpr std::size_t kCompanyRecordUsed = 344;
// Record length of the company files "dittg" of the data directory.
inline constexpr int kCompanyFileRecordLength = 800;

struct CompanyFieldSlot {
    std::size_t position; // 1-based
    std::size_t length;
};

// Fields of the master record by what they hold.
namespace company_field {
inline constexpr int kKind = 1;                    // "0" individual firm, "1" company, "2" professional
inline constexpr int kName = 2;                    // denomination, or surname and name of the owner
inline constexpr int kFiscalCode = 3;              // the owner's fiscal code, or a company's VAT number
inline constexpr int kSex = 4;                     // "M" or "F"
inline constexpr int kBirthDate = 5;               // ddmmyyyy
inline constexpr int kBirthPlace = 6;
inline constexpr int kVatNumber = 8;
inline constexpr int kSector = 9;                  // code list
inline constexpr int kActivityCode = 10;           // code list
inline constexpr int kLegalForm = 11;              // code list
inline constexpr int kAccountingRegime = 13;       // "0" ordinary, "1" simplified
inline constexpr int kVatSettlement = 14;          // "0" quarterly, "1" monthly
inline constexpr int kTakings = 28;                // "0" none, "1" normal, "2" ventilation
inline constexpr int kAccountPersonalization = 29; // the record of "pecog.dat" it names
inline constexpr int kField32 = 32;                // "0= Non gestite; 1= Si"
inline constexpr int kIntermediary = 33;           // code list
inline constexpr int kField34 = 34;                // "0= Non gestito; 1= Si'"
} // namespace company_field

// Where fields 1 to 34 lie (index 0 is not used).
extern const std::array<CompanyFieldSlot, kCompanyFieldCount + 1> kCompanyFields;

// Fields 1 to 34 as stored, blanks kept (index 0 is not used).
using CompanyFields = std::array<std::string, kCompanyFieldCount + 1>;

// The fields of a stored record, untrimmed; a field that the record is too short to hold
// comes out short or empty.
CompanyFields unpackCompanyRecord(std::string_view record);

// "$" followed by fields 1 to 34, each cut or filled with blanks on the right to its length,
// so that no field can push the ones after it out of place: always 344 characters.
std::string packCompanyRecord(const CompanyFields& fields);

} // namespace payroll
