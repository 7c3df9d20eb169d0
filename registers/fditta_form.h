#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/company_register.h"
#include "records/channels.h"
#include "records/shared_values.h"
#include "records/text_box.h"
#include "registers/identity_checks.h"
#include "registers/key_codes.h"

namespace registers {

// One input box of the window: its text and how many characters the operator may type.
using TextBox = records::TextBox;

// The code lists that the window offers, by the field they fill.
enum class CodeList {
    LegalForm,              // field 11, Command13
    Sector,                 // field 9, Command4
    Activity,               // field 10, Command16
    Intermediary,           // field 33, Command8
    AccountPersonalization, // field 29, Command6
};

// The list window that lets the operator pick one entry of a code list; the window shows
// it modally. Returns the chosen entry's text, nothing when the operator chose none.
class CodeListWindow {
public:
    virtual ~CodeListWindow() = default;
    virtual std::optional<std::string> choose(CodeList list, const std::vector<std::string>& entries) = 0;
};

// The fDitta window ("Gestione ditte") without its widgets: the company's master record in
// 34 boxes, the birth-date boxes, the description labels and the help line, and the event
// procedures that check, save and blank the record. The window edits one record of one
// file, chosen before it loads (selectCompany() or selectRecord()) or afterwards from the
// company scan (openCompany()); a save writes that record slot and nothing else.
//
// A record is written only over a record that was read whole, or where the file holds none
// yet: boxes left empty by a record that could not be read never overwrite the stored one.
// A code that fails its check is stored only after the operator said so for that box, and
// edits are never left behind (window closed, another company shown) without a question.
class FDittaForm {
public:
    static constexpr int kFieldCount = payroll::kCompanyFieldCount;
    static constexpr int kRecordChannel = 1;
    static constexpr int kListChannel = 3;

    explicit FDittaForm(records::Workplace workplace);

    // The record the window edits: record 1 of company n's file (record length 800).
    void selectCompany(int company);
    // Any record of a file whose records hold at least the 344 characters of a company
    // record; a shorter record length or a record number that is not a whole number from 1
    // up throws std::invalid_argument.
    void selectRecord(std::string fileName, int recordLength, double recordNumber);
    // Choosing company n of the scan in a loaded window: selects it and shows its record,
    // after leaveRecord(); false, with nothing changed, when the operator stays.
    bool openCompany(int company);

    // Events of the window.
    void Form_Load();
    void Form_KeyDown(int keyCode);
    void Tx_Change(int index);
    void Tx_GotFocus(int index);
    void Tx_LostFocus(int index);
    void Tx_KeyDown(int index, int keyCode);
    void ggn_Change();
    void mmn_Change();
    void aan_Change();
    void ggn_LostFocus();
    void mmn_LostFocus();
    void aan_LostFocus();
    bool Command2_Click();       // save after the confirmation question; true when saved
    void Commandelimina_Click(); // blank the record
    bool Command3_Click();       // close the window, after leaveRecord(); true when it closes
    void Command13_Click();      // legal form list
    void Command4_Click();       // sector list
    void Command16_Click();      // activity list
    void Command8_Click();       // intermediary list
    void Command6_Click();       // account personalization list

    // Public methods of the window.
    void Messaggio(std::string_view text);
    void messaggi(int index);

    // Named operations, shared by the events and by callers without a window.
    // Writes "$" and fields 1 to 34 into the selected record slot, completing with blanks a
    // slot where the file ends; false, after the channel's message, when the record could not
    // be written (the stored one is then as it was, and a file that this save created is
    // removed again). Refused with "Il record della ditta non e' stato letto per intero:
    // nessuna modifica salvata " when the slot held a record that was not read whole when
    // the window showed it (or none was shown yet).
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
    // Looks for the company files of the working year (companyList, companyCount).
    void scanCompanies();

    void setCodeListWindow(CodeListWindow* window) { m_codeLists = window; }
    IdentityChecks& checks() { return m_checks; }
    records::Channels& channels() { return m_channels; }
    const std::string& fileName() const { return m_fileName; }
    double recordNumber() const { return m_recordNumber; }

    // Controls. Tx[0] is not used.
    std::array<TextBox, kFieldCount + 1> Tx;
    TextBox ggn, mmn, aan, ftel;
    std::string label23, label26, label27, label28, label39, label40; // descriptions of fields 1 13 14 28 32 34
    std::string label37;
    std::string statusText;
    bool visible = true;        // false once Esc has hidden the window
    bool closeRequested = false; // the exit button closed it
    // The box that a key, or a check that failed, asked the focus to move to (1..34; 5 is
    // the birth date, which the day box takes), 0 when none; the window moves the focus and
    // sets it back to 0.
    int focusRequest = 0;

    // Window values.
    payroll::CompanyFields fields; // the boxes' texts, by field number
    std::vector<int> companyList;
    int companyCount = 0;
    int focusBoxCount = kFieldCount;

private:
    // What the record slot held when it was shown.
    enum class ShownRecord {
        None,   // nothing shown yet
        Whole,  // a whole record
        Absent, // no file, or the file ends before the slot: a save makes the record
        Unread, // the file could not be read, or holds part of the record only
    };
    struct FailedCheck {
        int box = 0;
        std::string message;
    };

    void showRecord();
    void showFields();
    std::string boxText(int index) const;
    std::vector<FailedCheck> failedChecks() const;
    bool mayWrite();
    void refreshLabels();
    void joinBirthDate();
    void setBirthDate(std::string_view date);
    void chooseCode(CodeList list, const std::vector<std::string>& entries, int box);
    void hide();

    records::Workplace m_workplace;
    records::Channels m_channels;
    IdentityChecks m_checks;
    CodeListWindow* m_codeLists = nullptr;
    std::string m_fileName;
    int m_recordLength = payroll::kCompanyFileRecordLength;
    double m_recordNumber = 1;
    ShownRecord m_shown = ShownRecord::None;
    payroll::CompanyFields m_shownFields; // the record as shown or last saved
};

} // namespace registers
