#pragma once

#include <string_view>

// The texts of the table files of payroll/tables, as the build puts them into the program
// (UTF-8, as the files are written).
namespace payroll::tables {

extern const std::string_view kWorkerTypes;       // worker_types.txt
extern const std::string_view kContributionTypes; // contribution_types.txt
extern const std::string_view kLegalForms;        // legal_forms.txt
extern const std::string_view kEmployeeFields;    // employee_fields.txt

} // namespace payroll::tables
