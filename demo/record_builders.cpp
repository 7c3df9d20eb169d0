#include "demo/record_builders.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "payroll/cu_header.h"
#include "records/text.h"

namespace demo {

namespace {

void checkedAssign(std::string& entry, payroll::EntrySlot slot, std::string_view table, int index,
                   std::string_view text)
{
    if (slot.length == 0)
        throw std::invalid_argument(std::string(table) + " " + std::to_string(index) + " belongs to no field");
    if (text.size() > static_cast<std::size_t>(slot.length)) {
        throw std::length_error(std::string(table) + " " + std::to_string(index) + " \"" + std::string(text)
                                + "\" is longer than " + std::to_string(slot.length) + " characters");
    }
    entry.assign(text);
}

} // namespace

std::string cuHeaderRecord(const CuHeaderFields& fields, char status)
{
    for (int field = 1; field <= kCuHeaderFieldCount; ++field) {
        const auto width = static_cast<std::size_t>(payroll::headerFieldSlot(field).length);
        const std::string& text = fields[static_cast<std::size_t>(field)];
        if (text.size() > width) {
            throw std::length_error("CU header field " + std::to_string(field) + " \"" + text + "\" is longer than "
                                    + std::to_string(width) + " characters");
        }
    }
    return payroll::packHeaderRecord(fields, status);
}

std::string cuSecondHeaderRecord(char cuKind, int employeeRecords, char status)
{
    if (employeeRecords < 0 || employeeRecords > 9999)
        throw std::length_error("CU second header: " + std::to_string(employeeRecords)
                                + " records do not fit 4 digits");
    return payroll::packSecondHeaderRecord(cuKind, records::padLeft(std::to_string(employeeRecords), 4, '0'), status);
}

std::string companyHeaderRecord(const CompanyHeaderFields& fields, char status)
{
    return payroll::packCompanyHeader(fields, status);
}

std::string employeeRecord(const EmployeeFields& fields, char status)
{
    return payroll::packEmployee(fields, status);
}

std::string collaboratorRecord(const CollaboratorFields& fields, char status)
{
    return payroll::packCollaborator(fields, status);
}

std::string municipalityRecord(const Municipality& municipality, char status)
{
    std::string record(kMunicipalityRecordLength, ' ');
    record[0] = status;
    record.replace(1, 4, records::fitRight(municipality.code, 4));
    record.replace(10, 24, records::fitRight(municipality.name, 24));
    record.replace(34, 2, records::fitRight(municipality.province, 2));
    record.replace(36, 5, records::fitRight(municipality.postcode, 5));
    return record;
}

std::string amountText(double amount, std::size_t width)
{
    if (amount == 0.0)
        amount = 0.0; // no "-0.00"
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", amount);
    return records::padLeft(text, width);
}

void setCu(payroll::CuFields& fields, int entry, std::string_view text)
{
    if (entry < 1 || entry > payroll::kCuFieldCount)
        throw std::out_of_range("CU " + std::to_string(entry));
    checkedAssign(fields.cu[static_cast<std::size_t>(entry)], payroll::cuFieldSlot(entry), "CU", entry, text);
}

void setCuAmount(payroll::CuFields& fields, int entry, double amount)
{
    const int width = payroll::cuFieldSlot(entry).length;
    setCu(fields, entry, amountText(amount, static_cast<std::size_t>(std::max(width, 0))));
}

void setCu2(payroll::CuFields& fields, int entry, std::string_view text)
{
    if (entry < 1 || entry > payroll::kSecondCuFieldCount)
        throw std::out_of_range("CU2 " + std::to_string(entry));
    checkedAssign(fields.cu2[static_cast<std::size_t>(entry)], payroll::secondCuFieldSlot(entry), "CU2", entry, text);
}

void setCu2Amount(payroll::CuFields& fields, int entry, double amount)
{
    const int width = payroll::secondCuFieldSlot(entry).length;
    setCu2(fields, entry, amountText(amount, static_cast<std::size_t>(std::max(width, 0))));
}

} // namespace demo
