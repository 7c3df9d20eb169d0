#pragma once

#include <array>
#include <string>
#include <string_view>

#include "payroll/field_layout.h"
#include "payroll/record_fields.h"

// The collaborator data file "unc" + company + month + "." + year digits: one 128-character
// record per collaborator of the month.
namespace payroll {

inline constexpr int kCollaboratorRecordLength = 128;
inline constexpr int kCollaboratorFieldCount = 19;

namespace collaborator {
inline constexpr int kRelation = 5;     // TipoRapporto
inline constexpr int kActivity = 6;     // CodiceAttivita
inline constexpr int kTaxable = 7;      // Imponibile: a collaborator without it is not declared
inline constexpr int kStartDay = 10;    // 10-12 period start, 13-15 period end: day, month, year
inline constexpr int kEndDay = 13;
inline constexpr int kRelief = 18;      // ImpAgevolazione
} // namespace collaborator

using CollaboratorFields = std::array<std::string, kCollaboratorFieldCount + 1>;

const FieldLayout& collaboratorLayout();

// The fields as the writers read them (see RecordFields), viewing `record`, which must
// outlive them.
inline RecordFields unpackCollaborator(std::string_view record)
{
    return RecordFields(collaboratorLayout(), record);
}

inline std::string packCollaborator(const CollaboratorFields& fields, char status = kInUse)
{
    return pack(collaboratorLayout(), fields, status);
}

} // namespace payroll
