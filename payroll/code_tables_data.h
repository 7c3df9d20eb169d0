#pragma once

#include <string_view>

// The texts of the table files of payroll/tables, as the build puts them into the program
// (UTF-8, as the files are written).
namespace payroll::tables {

extern const std::string_view kQualification1;      // qualifica1.txt
extern const std::string_view kQualification2;      // qualifica2.txt
extern const std::string_view kQualification3;      // qualifica3.txt
extern const std::string_view kContributionTypes;   // tipo_contribuzione.txt
extern const std::string_view kCitizenships;        // cittadinanza.txt
extern const std::string_view kHiringKinds;         // tipo_assunzione.txt
extern const std::string_view kTerminationReasons;  // tipo_cessazione.txt
extern const std::string_view kWorkerTypes;         // tipo_lavoratore.txt
extern const std::string_view kWorkerKinds;         // tipo_lav_stat.txt
extern const std::string_view kLegalForms;          // natura_giuridica.txt
extern const std::string_view kSectors;             // settore.txt
extern const std::string_view kEmployeeFields;      // employee_fields.txt

} // namespace payroll::tables
