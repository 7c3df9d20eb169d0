#pragma once

#include <cstdint>
#include <span>

#include "check/rules.h"

// The rules of the check of a CU telematic file that are not rows of its tables: the
// framing of the records, the checks across fields and records, and the rules by which the
// tables' fields and elements are judged.
namespace check::cu {

enum class RuleId : std::uint8_t {
    RecordFraming,
    RecordKind,
    RecordKindNotChecked,
    RecordOrder,
    RecordCounts,
    DeclaredCertifications,
    QuadroCtBox,
    Characters,
    PositionalField,
    PositionalFieldOfThisProgram,
    DeclarantName,
    Intermediary,
    DeclarantSignature,
    IntermediarySignature,
    SignerRole,
    RepresentativePerson,
    SupplierIsDeclarant,
    SameDeclarant,
    CertificationNumber,
    CertificationSequence,
    Operation,
    Heading,
    Annulment,
    Identity,
    NoIncome,
    BirthAndSex,
    EmploymentDates,
    FutureDate,
    ElementLayout,
    ElementUnknown,
    ElementForm,
    ElementFormOfThisProgram,
    ElementFormDisputed,
    ElementCodeTable,
    ZeroValue,
    EmptyElement,
    RecordsHNotChecked,
    Count
};

const Rule& rule(RuleId id);
std::span<const Rule> rules();

} // namespace check::cu
