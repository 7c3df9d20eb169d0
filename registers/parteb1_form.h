#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/code_tables.h"
#include "records/text_box.h"
#include "records/workplace.h"
#include "registers/box_keys.h"
#include "registers/employee_files.h"
#include "registers/employee_store.h"
#include "registers/identity_checks.h"

namespace registers {

// The 23 boxes of the personal part of an employee record, by what they hold; box(k) gives
// box k (1 to 23). Boxes 1 to 20 show entries 1 to 20 of the record.
struct EmployeeBoxes {
    records::TextBox fiscalCode;            //  1
    records::TextBox surname;               //  2
    records::TextBox name;                  //  3
    records::TextBox qualification1;        //  4 code list
    records::TextBox qualification2;        //  5 code list: working time
    records::TextBox qualification3;        //  6 code list: kind of contract
    records::TextBox contributionType;      //  7 code list
    records::TextBox citizenship;           //  8 code list
    records::TextBox municipalityCode;      //  9
    records::TextBox contractCode;          // 10
    records::TextBox contractHours;         // 11
    records::TextBox partTimePercent;       // 12
    records::TextBox monthlyPayments;       // 13
    records::TextBox hiringDay;             // 14
    records::TextBox hiringKind;            // 15 code list
    records::TextBox inpsNumber;            // 16
    records::TextBox terminationDay;        // 17
    records::TextBox terminationReason;     // 18 code list
    records::TextBox workerType;            // 19 code list
    records::TextBox statisticalWorkerType; // 20 code list
    records::TextBox post95;                // 21 "Regime Post 95 S/N" (entry 219, or 216 in "pagmar")
    records::TextBox operatingUnit;         // 22 entry 257, "paghe" only
    records::TextBox payKind;               // 23 "M = Mensile  G = Giornaliera" (entry 218, "paghe" only)

    records::TextBox& box(int k);
    const records::TextBox& box(int k) const;
};

// A list of codes beside a box, as a combo box shows it.
struct CodeChoice {
    std::vector<std::string> items;
    int index = -1; // the item shown, -1 none
};

// The nine code lists of the window, by the box they fill; list(n) gives list n (1 to 9,
// in the order of employeeCodeList()).
struct EmployeeCodeChoices {
    CodeChoice qualifications;       // 1, box 4
    CodeChoice workingTimes;         // 2, box 5
    CodeChoice contractKinds;        // 3, box 6
    CodeChoice contributionTypes;    // 4, box 7
    CodeChoice citizenships;         // 5, box 8
    CodeChoice hiringKinds;          // 6, box 15
    CodeChoice terminationReasons;   // 7, box 18
    CodeChoice workerTypes;          // 8, box 19
    CodeChoice particularWorkerKinds; // 9, box 20

    CodeChoice& list(int n);
    const CodeChoice& list(int n) const;
};

// The Parteb1 window ("Dati Dipendenti - Parte anagrafica") without its widgets: one employee
// record of a company's employee data file in 23 boxes, the employee list, nine code lists
// with the INPS code tables of the coded fields, and the operations that browse, restore,
// save and delete through the employee register (EmployeeStore). A save or a delete writes
// exactly the one record slot shown, and only a slot the file holds whole.
//
// The form works on the employees of one company and month, named when it is made, however
// the window was reached (the choice of company and month, the UniEmens window).
//
// Edits are never left behind without a question: before another record is shown (next,
// previous, a list choice, a record number) and before the window closes (Esc, the exit
// button, its close button), leaveRecord() asks whether to save them.
class Parteb1Form : public EmployeeBoxes, public EmployeeCodeChoices {
public:
    static constexpr int kBoxCount = 23;
    // The boxes that the keyboard and the focus handling cover.
    static constexpr int kFocusBoxCount = 20;
    static constexpr int kCodeListCount = 9;

    // Works on the employees that `employees` names: the employee data file of its company
    // data file ("C:\nolv\paghe\una00903.016") in the folder of its data-area selector, of
    // which the list shows its record count at most.
    Parteb1Form(records::Workplace workplace, const EmployeeFileChoice& employees);

    // Loads the window: the company, the employee list, the first record.
    void load();
    // Item `item` of the employee list (0 = the first); the list shows the record shown
    // afterwards.
    void chooseEmployee(int item);
    // The operator changed the text of the record number box; put back when he stays.
    void recordNumberTyped();
    // Item `item` of code list `list` (1 to 9; 0 = the first item): its code goes into the box.
    void chooseCode(int list, int item);
    // Delete, after the warning and the confirmation; the window then shows the next employee
    // left, or closes when none is.
    void deleteRecord();
    // "Salva": saves after "Conferma "; true when saved.
    bool saveRecord();
    // "Esci": closes the window, after leaveRecord(); true when it closes.
    bool close();
    // Puts entries 1 to 20 of the record shown back into boxes 1 to 20.
    void restoreBoxes();
    void nextRecord();
    void previousRecord();
    // The focus entered or left box `k`; a key pressed in it.
    void boxEntered(int k);
    void boxLeft(int k);
    void boxKeyPressed(int k, BoxKey key);

    // The help line: a text, or the help of box `k` (the last help again for a number that
    // has none).
    void showStatus(std::string_view text);
    void showHelp(int k);

    // Writes the boxes into the record shown (F9 does so without a question): see
    // EmployeeStore::save(). False, after a message, when nothing was written: also, with
    // "Il record del dipendente non e' stato letto per intero: nessuna modifica salvata ",
    // when the record shown could not be read whole, so that its empty boxes never replace
    // what is stored.
    bool save();
    // True when a box differs from the record as it was shown or last saved, as a save would
    // store it (upper case; blanks at either end do not count).
    bool edited() const;
    // Before the boxes are left behind: with edits, asks "Salvare le modifiche al record ?"
    // (Si', No, Annulla). Si' saves as F9 does (a save that does not happen keeps the
    // operator where he is), No puts the record as shown back into the boxes; true when the
    // caller may go on.
    bool leaveRecord();

    // A field of the record that no box shows, for the window of the other fields.
    struct OtherField {
        int entry = 0;
        int position = 0; // 1-based
        int length = 0;
        std::string text; // as stored, control characters shown as blanks
    };
    std::vector<OtherField> otherFields() const;

    // The installation's file of code list `n` (1 to 9), where the office corrects its codes
    // and words ("C:\wnolv\tabcom\codici\tipo_lavoratore.txt"), whether it exists or not.
    std::string codeTableFile(int n) const;
    // The code tables as the window loaded them.
    const payroll::CodeTables& codeTables() const { return m_tables; }

    IdentityChecks& checks() { return m_checks; }
    const std::string& employeeFile() const { return m_employeeFile; }
    int dataAreaSelector() const { return m_dataAreaSelector; }

    // The record number box, the company's code and name, the working year.
    records::TextBox recordBox, companyCode, companyName, workingYear;
    // The employee list: an item per employee in use, the record number of each, and the
    // text the list shows.
    std::vector<std::string> employeeItems;
    std::vector<std::int64_t> employeeRecords;
    std::string employeeShown;
    std::string statusText;
    bool operatingUnitVisible = true;
    bool closeRequested = false;
    // The box that a key asked the focus to move to (1..23), 0 when none; the window moves
    // the focus and sets it back to 0. focusToNext: the focus goes to the next-record button.
    int focusRequest = 0;
    bool focusToNext = false;

    // The employee field table: entries 1 to 267 of the record shown, as stored.
    std::vector<std::string> entries;
    std::int64_t recordNumber = 0;
    std::int64_t recordCount = 0;

private:
    bool mayWrite();
    void afterDeletion();
    // Shows record `target` after leaveRecord(); with edits on the record shown and the same
    // target (next on the last record), nothing is shown again and nothing is lost.
    bool moveTo(std::int64_t target, bool setRecordBox);
    void fillList();
    void showEntries();
    void showRecord();
    void showCurrent(bool setRecordBox);
    void setCodeChoices();
    void exit();

    // The employee register of the file shown.
    EmployeeStore store();

    records::Workplace m_workplace;
    IdentityChecks m_checks;
    std::string m_selectedDataFile;
    std::int64_t m_employeeRecordCount = 0; // as the opener gave it
    int m_dataAreaSelector = kPagheArea;
    std::string m_helpText; // the help of the box last entered
    std::string m_employeeFile;
    bool m_loaded = false;
    payroll::CodeTables m_tables;          // the built-in tables and the installation's
    EmployeeRecord m_record;               // the record shown, as read or last saved
    std::vector<std::string> m_shownBoxes; // boxes 1 to 23 as shown or last saved
};

} // namespace registers
