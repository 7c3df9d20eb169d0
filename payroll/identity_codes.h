#pragma once

#include <string>
#include <string_view>

// The checks of the identification data that payroll files carry and operators type: VAT
// number, personal fiscal code, date. They only look at the text, so the register windows,
// the command line and the check of the files for the authorities all check alike.
namespace payroll {

// What a check found. A text that stands for "no code" ("0" and blanks) is not checked
// at all, which a caller may need to tell from a check that passed.
struct CheckResult {
    enum class Outcome { NotChecked, Passed, Failed };
    Outcome outcome = Outcome::Passed;
    std::string message; // the operator's message when Failed
    // The check character that a code of the right form and a wrong last character should
    // end with; 0 for every other result.
    char expected = 0;

    bool failed() const { return outcome == Outcome::Failed; }
};

inline constexpr const char* kWrongCheckCharacter = "Codice errato: il cin e'   ";
inline constexpr const char* kFormallyWrong = "Codice FORMALMENTE errato";
inline constexpr const char* kWrongDate = "La data inserita e' errata";

// An 11-character VAT number. "0" and 10 blanks is not checked. Positions 1 to 11 must
// hold 11 digits, else "Codice FORMALMENTE errato"; a wrong check digit gives
// "Codice errato: il cin e'   " followed by the expected digit after one blank.
CheckResult checkVatNumber(std::string_view text);

// A 16-character personal fiscal code. "0" and 15 blanks is not checked. Positions 1 to 16
// must hold 16 upper-case letters or digits, else "Codice FORMALMENTE errato"; a wrong
// check letter gives "Codice errato: il cin e'   " followed by the expected letter.
CheckResult checkFiscalCode(std::string_view text);

// A date of eight digits, day, month, year. February has 29 days in the years divisible
// by 4, except the centuries not divisible by 400. Anything else: "La data inserita e'
// errata".
CheckResult checkDate(std::string_view text);

} // namespace payroll
