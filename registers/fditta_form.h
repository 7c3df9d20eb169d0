#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/code_tables.h"
#include "payroll/company_code_lists.h"
#include "payroll/company_register.h"
#include "records/text_box.h"
#include "records/workplace.h"
#include "registers/box_keys.h"
#include "registers/company_store.h"
#include "registers/identity_checks.h"

namespace registers {

// One input box of the window: its text and how many characters the operator may type.
using TextBox = records::TextBox;

// The code lists that the window offers, by the field they fill.
enum class CodeList {
    LegalForm,              // field 11
    Sector,                 // field 9
    Activity,               // field 10
    Intermediary,           // field 33
    AccountPersonalization, // field 29
};

// The list window that lets the operator pick one entry of a code list; the window shows
// it modally. Returns the chosen entry's text, nothing when the operator chose none.
class CodeListWindow {
public:
    virtual ~CodeListWindow() = default;
    virtual std::optional<std::string> choose(CodeList list, const std::vector<std::string>& entries) = 0;
};

// The 34 boxes of a company's master record, one per field, by what the field holds; box(n)
// gives the box of field n (1 to 34).
struct CompanyBoxes {
    TextBox kind;                   //  1 "0= Ditta individuale; 1= Società, 2= Professionista"
    TextBox name;                   //  2 denomination, or surname and name of the owner
    TextBox fiscalCode;             //  3 the owner's fiscal code, or a company's VAT number
    TextBox sex;                    //  4 "M" or "F"
    TextBox birthDate;              //  5 ddmmyyyy, typed into the three date boxes
    TextBox birthPlace;             //  6
    TextBox activityDescription;    //  7
    TextBox vatNumber;              //  8
    TextBox sector;                 //  9 code list
    TextBox activityCode;           // 10 code list
    TextBox legalForm;              // 11 code list
    TextBox oldActivityCode;        // 12
    TextBox accountingRegime;       // 13 "0= Ordinaria; 1= Semplificata"
    TextBox vatSettlement;          // 14 "0= Trimestrale; 1= Mensile"
    TextBox nonDeductibleVat;       // 15 percentage
    TextBox taxAddress;             // 16 tax domicile: street and number
    TextBox taxPostcode;            // 17
    TextBox taxMunicipality;        // 18
    TextBox taxProvince;            // 19
    TextBox seatAddress;            // 20 seat of the business: street and number
    TextBox seatPostcode;           // 21
    TextBox seatMunicipality;       // 22
    TextBox seatProvince;           // 23
    TextBox phone;                  // 24
    TextBox email;                  // 25
    TextBox parentCompany;          // 26 three digits
    TextBox initialVatCredit;       // 27
    TextBox takings;                // 28 "0= Assenza di corrispettivi; 1= Corrispettivi normali; 2= Ventilazione"
    TextBox accountPersonalization; // 29 code list
    TextBox firstCustomerAccount;   // 30
    TextBox firstSupplierAccount;   // 31
    TextBox field32;                // 32 "0= Non gestite; 1= Si"
    TextBox intermediary;           // 33 code list
    TextBox field34;                // 34 "0= Non gestito; 1= Sì"

    TextBox& box(int field);
    const TextBox& box(int field) const;
};

// The fDitta window ("Gestione ditte") without its widgets: the company's master record in
// 34 boxes, the birth-date boxes, the description labels and the help line, and the
// operations that check, save and blank the record through the company register
// (CompanyStore). The window edits one record of one file, chosen before it loads
// (selectCompany() or selectRecord()) or afterwards from the company scan (openCompany()); a
// save writes that record slot and nothing else.
//
// A record is written only over a record that was read whole, or where the file holds none
// yet: boxes left empty by a record that could not be read never overwrite the stored one.
// A code that fails its check is stored only after the operator said so for that box, and
// edits are never left behind (window closed, another company shown) without a question.
class FDittaForm : public CompanyBoxes {
public:
    static constexpr int kFieldCount = payroll::kCompanyFieldCount;

    explicit FDittaForm(records::Workplace workplace);

    // The record the window edits: record 1 of company n's file (record length 800).
    void selectCompany(int company);
    // Any record of a file whose records hold at least the 344 characters of a company
    // record; a shorter record length or a record number below 1 throws
    // std::invalid_argument.
    void selectRecord(std::string fileName, int recordLength, std::int64_t recordNumber);
    // Choosing company n of the scan in a loaded window: selects it and shows its record,
    // after leaveRecord(); false, with nothing changed, when the operator stays.
    bool openCompany(int company);

    // Loads the window: reads the record chosen and looks for the companies of the year.
    void load();
    // A key pressed in the window outside the boxes: Esc closes it, F9 goes to the first box.
    void windowKeyPressed(BoxKey key);
    // The operator changed box `field`: the field table and the descriptions follow it.
    void boxChanged(int field);
    // The focus entered box `field`: its blanks go, its help line shows.
    void boxEntered(int field);
    // The focus left box `field`: it is filled with blanks to its length and checked (the
    // fiscal code with the birth data it carries, the birth date, the VAT number).
    void boxLeft(int field);
    // A key pressed in box `field` (5 for the three date boxes).
    void boxKeyPressed(int field, BoxKey key);
    // The operator changed the day, the month or the year of the birth date.
    void birthDateChanged();
    // The focus left the day, the month or the year box of the birth date.
    void birthDayLeft();
    void birthMonthLeft();
    void birthYearLeft();
    // "Salva": saves after "Conferma " (or the question of a box that fails its check) and
    // looks for the companies again; true when saved.
    bool saveRecord();
    // "Cancella dati": after the warning and "Conferma ", blanks every field and saves.
    void blankRecord();
    // "Esci": closes the window, after leaveRecord(); true when it closes.
    bool close();
    // The code list of `list`: the entry chosen goes into its field.
    void chooseCode(CodeList list);

    // The help line: a text, or the help of field `field` (the last help again for a number
    // that has none).
    void showStatus(std::string_view text);
    void showHelp(int field);

    // Writes "$" and fields 1 to 34 into the selected record slot (see CompanyStore::save());
    // false, after the message, when nothing was written: the record could not be written,
    // or was not read whole when the window showed it (or none was shown yet).
    bool save();
    // Saves as "Salva" (askConfirmation) or F9 do: refused at once where save() would refuse;
    // then, for each box whose code fails its check as it would be stored (the fiscal code of
    // box 3, a company's VAT number in box 3, the birth date, the VAT number of box 8),
    // "Il campo " + label + " non ha superato il controllo (" + message + "). Salvare
    // comunque ?", of which every answer must be Yes; without such a box, "Conferma " when
    // askConfirmation. True when saved.
    bool saveAfterChecks(bool askConfirmation);
    // True when a box differs from the record as it was shown or last saved (blanks at
    // either end of a box do not count: entering a box takes them away).
    bool edited() const;
    // Before the boxes are left behind (the window closes, another record is shown): with
    // edits, asks "Salvare le modifiche al record ?" (Si', No, Annulla). Si' saves as F9 does
    // (a save that does not happen keeps the operator where he is), No puts the record as
    // shown back into the boxes; true when the caller may go on.
    bool leaveRecord();
    // Looks for the company files of the working year (companies).
    void scanCompanies();

    void setCodeListWindow(CodeListWindow* window) { m_codeLists = window; }
    IdentityChecks& checks() { return m_checks; }
    const std::string& fileName() const { return m_record.place.fileName; }
    std::int64_t recordNumber() const { return m_record.place.recordNumber; }

    // The birth date as the operator types it: day, month, year.
    TextBox birthDay, birthMonth, birthYear;
    // The telephone and fax box, which is not stored in the record.
    TextBox telFax;
    // The descriptions of the coded fields 1, 13, 14, 28, 32 and 34.
    std::string kindDescription, accountingDescription, settlementDescription, takingsDescription,
        field32Description, field34Description;
    // The words of the codes of fields 9, 10, 11, 29 and 33, as their lists give them:
    // "Codice non presente nell'elenco" for a code the list does not hold, empty for a field
    // without a code or a list that could not be read.
    std::string sectorWords, activityCodeWords, legalFormWords, personalizationWords, intermediaryWords;
    // A note beside the buttons.
    std::string note;
    std::string statusText;
    bool visible = true;         // false once Esc has hidden the window
    bool closeRequested = false; // the exit button closed it
    // The box that a key, or a check that failed, asked the focus to move to (1..34; 5 is
    // the birth date, which the day box takes), 0 when none; the window moves the focus and
    // sets it back to 0.
    int focusRequest = 0;

    // The field table: the boxes' texts, by field number.
    payroll::CompanyFields fields;
    // The companies of the working year whose file exists, ascending.
    std::vector<int> companies;

private:
    struct FailedCheck {
        int box = 0;
        std::string message;
    };

    void showRecord();
    void showFields();
    std::string boxText(int field) const;
    std::vector<FailedCheck> failedChecks() const;
    bool mayWrite();
    void refreshDescriptions();
    void joinBirthDate();
    void setBirthDate(std::string_view date);
    void hide();

    // The entries of a code list, read afresh when the list is offered.
    payroll::CodeListFile readList(CodeList list) const;
    // Keeps the entries of a list kept in a file of the installation, for the words of its
    // codes (an empty list says nothing of them).
    void keepList(CodeList list, const std::vector<std::string>& entries);

    records::Workplace m_workplace;
    payroll::CodeTables m_tables; // the built-in tables and the installation's
    // The lists kept in files of the installation, as last read, for the words of their codes.
    std::vector<std::string> m_activities, m_intermediaries, m_personalizations;
    CompanyStore m_store;
    IdentityChecks m_checks;
    CodeListWindow* m_codeLists = nullptr;
    CompanyRecord m_record;               // the record as read or last saved
    bool m_shown = false;                 // the record has been shown
    payroll::CompanyFields m_shownFields; // the boxes as shown or last saved
    std::string m_helpText;               // the help of the field last entered
};

} // namespace registers
