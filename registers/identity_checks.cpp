#include "registers/identity_checks.h"

#include <cstdint>
#include <filesystem>

#include "records/file_result.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/record_file.h"
#include "records/text.h"
#include "registers/tax_codes.h"

namespace registers {

BirthData birthDataOf(std::string_view fiscalCode)
{
    BirthData data;
    int day = static_cast<int>(records::numericValue(records::mid(fiscalCode, 10, 2)));
    data.sex = "M";
    if (day > 40) {
        day -= 40;
        data.sex = "F";
    }
    const std::string_view letter = records::mid(fiscalCode, 9, 1);
    const auto month = letter.empty() ? std::string_view::npos : payroll::kFiscalCodeMonthLetters.find(letter[0]);
    const std::string_view yearDigits = records::mid(fiscalCode, 7, 2);
    const char* century = records::numericValue(yearDigits) > 9 ? "19" : "20";

    const auto twoDigits = [](long long value) { return records::padLeft(records::digitsText(value), 2, '0'); };
    data.date = twoDigits(day < 0 ? 0 : day);
    data.date += month == std::string_view::npos ? std::string("00") : twoDigits(static_cast<long long>(month) + 1);
    data.date += century;
    data.date += yearDigits;
    return data;
}

IdentityChecks::IdentityChecks(const records::PathMapper& paths, const records::Installation& installation,
                               records::Prompter& prompter)
    : m_paths(paths)
    , m_installation(installation)
    , m_prompter(prompter)
{
}

std::string checkMessage(std::string_view field, CodeKind kind, const CheckResult& result)
{
    const std::string name(field);
    switch (kind) {
    case CodeKind::VatNumber:
        if (result.expected != 0)
            return name + ": la partita IVA non e' corretta. Con le prime dieci cifre indicate, l'ultima (la cifra di "
                          "controllo) dovrebbe essere " + result.expected + ".";
        return name + ": la partita IVA deve avere 11 cifre, senza lettere ne' spazi.";
    case CodeKind::FiscalCode:
        if (result.expected != 0)
            return name + ": il codice fiscale non e' corretto. Con i primi quindici caratteri indicati, l'ultimo (il "
                          "carattere di controllo) dovrebbe essere " + result.expected + ".";
        return name + ": il codice fiscale deve avere 16 caratteri, lettere maiuscole e cifre, senza spazi.";
    case CodeKind::Date:
        break;
    }
    return name + ": la data non esiste. Indicare giorno, mese e anno di una data del calendario (es. 30 05 1992).";
}

CheckResult IdentityChecks::report(CheckResult result, std::string_view field, CodeKind kind)
{
    if (result.outcome == CheckResult::Outcome::NotChecked)
        return result;
    lastCheckFailed = false;
    if (result.failed()) {
        m_prompter.message(kCheckTitle, checkMessage(field, kind, result), records::Icon::Warning);
        lastCheckFailed = true;
    }
    return result;
}

CheckResult IdentityChecks::checkVatNumber(std::string_view text, std::string_view field)
{
    return report(registers::checkVatNumber(text), field, CodeKind::VatNumber);
}

CheckResult IdentityChecks::checkFiscalCode(std::string_view text, std::string_view field)
{
    return report(registers::checkFiscalCode(text), field, CodeKind::FiscalCode);
}

CheckResult IdentityChecks::checkDate(std::string_view text, std::string_view field)
{
    return report(registers::checkDate(text), field, CodeKind::Date);
}

bool IdentityChecks::birthDataFromFiscalCode(std::string& text)
{
    const std::string fileName = m_installation.drivePrefix + kMunicipalityTable;
    // Opening a missing table would leave an empty one in the installation, where the
    // payroll suite expects its own.
    if (!m_paths.fileExists(fileName))
        return false;
    std::error_code error;
    const auto size = std::filesystem::file_size(m_paths.hostPath(fileName), error);
    if (error)
        return false;
    const auto count = static_cast<std::int64_t>(size / kMunicipalityRecordLength);
    const std::string code(records::mid(text, 12, 4));

    records::RecordFile table(m_paths, fileName, kMunicipalityRecordLength);
    records::showFailure(m_prompter, table.open());
    bool found = false;
    std::string record;
    for (std::int64_t k = 1; k <= count && !found; ++k) {
        records::showFailure(m_prompter, table.lookUp(k, record));
        if (record.empty() || record[0] != '$' || records::mid(record, 2, 4) != code)
            continue;
        birthMunicipality = std::string(records::mid(record, 11, 24));
        birthProvince = std::string(records::mid(record, 35, 2));
        birthPostcode = std::string(records::mid(record, 37, 5));
        BirthData birth = birthDataOf(text);
        sex = birth.sex;
        text = std::move(birth.date);
        found = true;
    }
    return found;
}

} // namespace registers
