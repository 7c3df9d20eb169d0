#include "registers/record_changes.h"

#include <array>
#include <vector>

#include "payroll/code_tables.h"
#include "payroll/company_register.h"
#include "payroll/employee_record.h"
#include "records/text.h"
#include "registers/employee_store.h"

namespace registers {

namespace {

// The fields of a company's master record, by number, as the window names them.
constexpr std::array<const char*, payroll::kCompanyFieldCount + 1> kCompanyFieldNames = {
    "",
    "Tipo",
    "Denominazione",
    "Codice fiscale",
    "Sesso",
    "Data di nascita",
    "Comune di nascita",
    "Attivit\xE0 svolta",
    "Partita IVA",
    "Settore",
    "Codice attivit\xE0",
    "Natura giuridica",
    "Vecchio codice attivit\xE0",
    "Contabilit\xE0",
    "Liquidazione IVA",
    "Percentuale d'indetraibilit\xE0 IVA",
    "Domicilio fiscale: indirizzo",
    "Domicilio fiscale: CAP",
    "Domicilio fiscale: comune",
    "Domicilio fiscale: provincia",
    "Sede dell'attivit\xE0: indirizzo",
    "Sede dell'attivit\xE0: CAP",
    "Sede dell'attivit\xE0: comune",
    "Sede dell'attivit\xE0: provincia",
    "Telefono",
    "Email",
    "Ditta madre",
    "Credito IVA iniziale",
    "Corrispettivi",
    "Personalizzazione conti",
    "Sottoconto clienti",
    "Sottoconto fornitori",
    "Gestite (campo 32)",
    "Intermediario",
    "Gestito (campo 34)",
};

void addLine(std::string& lines, std::string_view name, std::string_view value)
{
    const std::string_view shown = records::trim(value);
    lines += std::string(name) + ": " + (shown.empty() ? std::string("(vuoto)") : std::string(shown)) + "\n";
}

bool inUse(std::string_view record)
{
    return !record.empty() && record[0] == payroll::kInUse;
}

} // namespace

std::string companyChanges(std::string_view read, std::string_view now)
{
    const payroll::CompanyFields before = payroll::unpackCompanyRecord(read);
    const payroll::CompanyFields after = payroll::unpackCompanyRecord(now);
    std::string lines;
    for (int field = 1; field <= payroll::kCompanyFieldCount; ++field) {
        const auto k = static_cast<std::size_t>(field);
        if (after[k] != before[k])
            addLine(lines, kCompanyFieldNames[k], after[k]);
    }
    if (lines.empty() && inUse(now) != inUse(read))
        lines = inUse(now) ? "(il record e' stato salvato senza modifiche ai campi)\n" : "(il record non e' piu' in uso)\n";
    return lines;
}

std::string employeeChanges(const EmployeeStore& store, const EmployeeRecord& read, const std::string& now)
{
    if (!inUse(now))
        return "(il record e' stato cancellato)\n";
    const std::vector<std::string> after = store.entriesOf(now);
    const std::vector<payroll::EmployeeFieldName>& names = payroll::employeeFieldNames();
    std::string lines;
    for (const int entry : store.savedEntries()) {
        const auto k = static_cast<std::size_t>(entry);
        if (k >= after.size() || (k < read.entries.size() && after[k] == read.entries[k]))
            continue;
        // In "pagmar" entry 216 is the box of the "Regime post 95", entry 219 in "paghe".
        const int named = entry == payroll::employee::kPagmarPost95 && store.dataAreaSelector() == kPagmarArea
            ? payroll::employee::kPost95
            : entry;
        const std::string& description = names[static_cast<std::size_t>(named)].description;
        addLine(lines, description.empty() ? "Campo " + std::to_string(entry) : description, after[k]);
    }
    if (lines.empty())
        lines = "(il record e' stato salvato senza modifiche ai campi)\n";
    return lines;
}

} // namespace registers
