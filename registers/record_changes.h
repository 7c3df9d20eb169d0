#pragma once

#include <string>
#include <string_view>

// What another clerk's record holds where it differs from the record a register window read:
// one line per field, its name and its value now ("Denominazione: BIANCHI SRL"), for the
// question that lets the operator choose between the two records (askAboutChangedRecord()).
// Texts are Windows-1252.
namespace registers {

class EmployeeStore;
struct EmployeeRecord;

// Company master records, `read` and `now` as stored ("$" and fields 1 to 34).
std::string companyChanges(std::string_view read, std::string_view now);
// Employee records of `store`'s file: the entries that the window shows and a save writes.
// A record no longer in use says so instead.
std::string employeeChanges(const EmployeeStore& store, const EmployeeRecord& read, const std::string& now);

} // namespace registers
