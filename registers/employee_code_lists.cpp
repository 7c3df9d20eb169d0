#include "registers/employee_code_lists.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "records/text.h"

namespace registers {

namespace {

using payroll::Codes;

struct ListLook {
    std::size_t itemCodeWidth; // the code and the blanks after it, before the words
    const char* first;         // the item before the table's codes, or nullptr
};

// In the order of the lists.
constexpr std::array<ListLook, kEmployeeCodeListCount> kLooks = {{
    {3, nullptr},
    {3, nullptr},
    {3, nullptr},
    {5, "    Normale"},
    {4, nullptr},
    {3, "   Nessuna indicazione"},
    {3, "   Nessuna indicazione"},
    {3, nullptr},
    {5, "     Nessuna indicazione"},
}};

void checkNumber(int combo)
{
    if (combo < 1 || combo > kEmployeeCodeListCount)
        throw std::out_of_range("employee code list " + std::to_string(combo));
}

} // namespace

const EmployeeCodeList& employeeCodeList(int combo)
{
    static const std::array<EmployeeCodeList, kEmployeeCodeListCount> lists = {{
        {4, 2, Codes::Qualification1},
        {5, 2, Codes::Qualification2},
        {6, 2, Codes::Qualification3},
        {7, 4, Codes::ContributionType},
        {8, 4, Codes::Citizenship},
        {15, 2, Codes::HiringKind},
        {18, 2, Codes::TerminationReason},
        {19, 2, Codes::WorkerType},
        {20, 4, Codes::WorkerKind},
    }};
    checkNumber(combo);
    return lists[static_cast<std::size_t>(combo - 1)];
}

std::vector<std::string> employeeCodeItems(int combo, const payroll::CodeTables& tables)
{
    checkNumber(combo);
    const ListLook& look = kLooks[static_cast<std::size_t>(combo - 1)];
    std::vector<std::string> items;
    if (look.first != nullptr)
        items.emplace_back(look.first);
    // A heading that an installation put into a table is no code a box could take.
    const payroll::CodeTable& table = tables[employeeCodeList(combo).table];
    for (const payroll::CodeEntry& entry : table.entries()) {
        if (!entry.heading)
            items.push_back(records::padRight(entry.code, std::max(look.itemCodeWidth, entry.code.size() + 1))
                            + *table.describe(entry.code));
    }
    return items;
}

} // namespace registers
