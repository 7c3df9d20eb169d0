#pragma once

#include <array>
#include <string>
#include <string_view>

#include "payroll/field_layout.h"
#include "payroll/record_fields.h"

// The company data file "una" + company + month + "." + year digits: record 1 (1000
// characters) is the company header record of one company's monthly UniEmens data.
namespace payroll {

inline constexpr int kCompanyRecordLength = 1000;
inline constexpr int kCompanyHeaderFieldCount = 70;

// Header fields by what they hold (the others are named in the layout's table).
namespace company {
inline constexpr int kCode = 1;            // 3 digits, shown in the company list
inline constexpr int kMonth = 2;           // month of the declaration, 2 digits
inline constexpr int kYear = 3;            // year of the declaration, 4 digits
inline constexpr int kSenderType = 4;
inline constexpr int kSenderPersonFiscalCode = 5; // CFPersonaMittente
inline constexpr int kSenderName = 6;      // RagSocMittente
inline constexpr int kSenderFiscalCode = 7; // CFMittente
inline constexpr int kInpsOffice = 9;      // SedeINPS
inline constexpr int kFiscalCode = 10;     // CFAzienda
inline constexpr int kName = 11;           // 50 characters; the company list shows 34
inline constexpr int kDeclarationKind = 12; // "0" employees, "1" collaborators
inline constexpr int kComposition = 13;    // "FP", "FC" or another composition code
inline constexpr int kInpsNumber = 14;     // Matricola
inline constexpr int kCancellation = 15;   // "1": a cancellation declaration
inline constexpr int kPostCode = 18;       // CAP (collaborators)
inline constexpr int kIstatCode = 19;      // ISTAT (collaborators)
inline constexpr int kRecordCount = 20;    // records of the employee or collaborator file to read
inline constexpr int kInterprofessionalFund = 40; // "A" adhesion, "R" revocation, "E" both
inline constexpr int kCollaboratorFieldCount = 21; // what the collaborator writer unpacks
} // namespace company

// Header fields 1 to 70, indexed by field number (index 0 unused).
using CompanyHeaderFields = std::array<std::string, kCompanyHeaderFieldCount + 1>;

const FieldLayout& companyHeaderLayout();

// Header fields 1 to `lastField` as the writers read them (see RecordFields), viewing
// `record`, which must outlive them.
inline RecordFields unpackCompanyHeader(std::string_view record, int lastField = kCompanyHeaderFieldCount)
{
    return RecordFields(companyHeaderLayout(), record, lastField);
}

// A 1000-character company header record (see pack()).
inline std::string packCompanyHeader(const CompanyHeaderFields& fields, char status = kInUse)
{
    return pack(companyHeaderLayout(), fields, status);
}

} // namespace payroll
