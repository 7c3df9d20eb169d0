#pragma once

#include <string>
#include <string_view>

#include "payroll/identity_codes.h"

namespace records {
struct Installation;
class PathMapper;
class Prompter;
} // namespace records

// The checks of the identification data that an operator types into the registers: VAT
// number, personal fiscal code, date, and the birth data that a fiscal code carries. The
// plain functions only look at the text, so the windows, the command line and the tests
// all check alike; IdentityChecks shows their messages and keeps the values that the
// windows read back.
namespace registers {

// The plain checks of the identification data (payroll/identity_codes.h), under the
// registers' own names.
using payroll::CheckResult;
using payroll::checkDate;
using payroll::checkFiscalCode;
using payroll::checkVatNumber;
using payroll::kFormallyWrong;
using payroll::kWrongCheckCharacter;
using payroll::kWrongDate;

// The birth date (ddmmyyyy) and sex that positions 7-11 of a fiscal code carry: a woman's
// day is raised by 40; the month letter A B C D E H L M P R S T stands for January to
// December, any other for "00"; the two year digits belong to the 1900s when they are
// above 9, else to the 2000s.
struct BirthData {
    std::string date;
    std::string sex;
};
BirthData birthDataOf(std::string_view fiscalCode);

inline constexpr const char* kMunicipalityTable = "\\tabcom\\comuni.dat";
inline constexpr int kMunicipalityRecordLength = 200;

// What a failed check tells the operator in a window: the field, what is wrong and, for a
// code of the right form whose last character is wrong, the character it should end with
// ("Partita IVA: ... la cifra di controllo dovrebbe essere 7."). `field` is the field's
// label; the kind of code is the check's.
enum class CodeKind { VatNumber, FiscalCode, Date };
std::string checkMessage(std::string_view field, CodeKind kind, const CheckResult& result);
// The title of the box that shows it.
inline constexpr const char* kCheckTitle = "Controllo dei dati";

// The checks as the windows use them: each shows the message of checkMessage() with the
// warning icon and an OK button through the Prompter, and says whether it failed, which the
// window reads to give the focus back to the field. The birth data lookup reads the
// municipality table of the installation that `paths` finds, and shows the table's failures
// as it meets them.
class IdentityChecks {
public:
    // `paths`, `installation` and `prompter` outlive the checks.
    IdentityChecks(const records::PathMapper& paths, const records::Installation& installation,
                   records::Prompter& prompter);

    // Each sets lastCheckFailed to false, or to true after showing the failure's message; a
    // text that is not checked leaves it as it was. The result tells the three cases apart.
    // `field` is the label of the box checked, as the message names it.
    CheckResult checkVatNumber(std::string_view text, std::string_view field = "Partita IVA");
    CheckResult checkFiscalCode(std::string_view text, std::string_view field = "Codice fiscale");
    CheckResult checkDate(std::string_view text, std::string_view field = "Data");

    // Looks up the municipality of positions 12-15 of the fiscal code in the municipality
    // table (records marked "$", code in positions 2-5). On a match sets the birth values
    // and replaces `text` by the birth date ddmmyyyy, and returns true; otherwise leaves
    // both alone. A missing table is not created; the table is closed again afterwards. A
    // table that cannot be opened or read shows each failure (the opening's, then that of
    // every record looked up) in a box with no title and no icon.
    bool birthDataFromFiscalCode(std::string& text);

    bool lastCheckFailed = false;
    std::string birthMunicipality; // 24 characters
    std::string birthProvince;     // 2
    std::string birthPostcode;     // 5
    std::string sex;               // "M" or "F"

private:
    CheckResult report(CheckResult result, std::string_view field, CodeKind kind);

    const records::PathMapper& m_paths;
    const records::Installation& m_installation;
    records::Prompter& m_prompter;
};

} // namespace registers
