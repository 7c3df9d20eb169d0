#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "records/channels.h"
#include "records/shared_values.h"
#include "records/text_box.h"
#include "registers/identity_checks.h"
#include "registers/key_codes.h"

namespace registers {

// The Parteb1 window ("Dati Dipendenti - Parte anagrafica") without its widgets: one employee
// record of a company's employee data file in 23 boxes, the employee list, nine combo boxes
// with the INPS code tables of the coded fields, and the event procedures that browse,
// restore, save and delete. Every operation opens the file and closes it again; a save or a
// delete writes exactly the one record slot shown, and only a slot the file holds whole.
//
// The file is the one that the shared values name (the company data file confirmed in
// inditta, the employee record count, the data-area selector) unless selectCompany() named
// another before the load. The shared values are only read.
//
// Edits are never left behind without a question: before another record is shown (next,
// previous, a list choice, a record number) and before the window closes (Esc, the exit
// button, its close button), leaveRecord() asks whether to save them.
class Parteb1Form {
public:
    static constexpr int kBoxCount = 23;
    static constexpr int kFocusBoxCount = 20;
    static constexpr int kComboCount = 9;
    static constexpr int kChannel = 2;
    static constexpr int kLookupChannel = 3;

    explicit Parteb1Form(records::Workplace workplace);

    // Works on the employees of `selectedDataFile` ("C:\nolv\paghe\una00903.016"), of which
    // there are `employeeRecordCount`, in the folder of `dataAreaSelector`, instead of what
    // the shared values name. Called before Form_Load().
    void selectCompany(std::string selectedDataFile, double employeeRecordCount, int dataAreaSelector);

    // Events of the window.
    void Form_Load();
    void lista_Click(int index); // 0 = first item; the list shows the record shown afterwards
    void reco_Change(); // after the operator changed reco's text; put back when he stays
    void Combo_Click(int combo, int index); // combo 1 to 9, index 0 = first item
    // Delete, after the warning and the confirmation; the window then shows the next employee
    // left, or closes when none is.
    void Command1_Click();
    bool Command2_Click(); // save, after the confirmation; true when saved
    bool Command3_Click(); // exit, after leaveRecord(); true when the window closes
    void Command5_Click(); // restore boxes 1 to 20 from the record
    void Command6_Click(); // next record
    void Command7_Click(); // previous record
    void Tx_GotFocus(int index);
    void Tx_LostFocus(int index);
    void Tx_KeyDown(int index, int keyCode);

    // Public methods of the window: the help line.
    void Messaggio(std::string_view text);
    void messaggi(int index);

    // Writes the boxes into the record shown (F9 does so without a question): entries 1 to
    // 20 in upper case, filled with blanks to their boxes' lengths, and with the selector 1
    // entries 218, 219 and 257 from boxes 23, 21 and 22, then "$" in position 1 and NULs
    // after the last entry; with the selector 2, entry 216 (positions 1363-1374) from box 21
    // and every other character from position 1363 on as stored. False, after a message,
    // when nothing was written: also, with "Il record del dipendente non e' stato letto per
    // intero: nessuna modifica salvata ", when the record shown could not be read whole, so
    // that its empty boxes never replace what is stored.
    bool save();
    // True when a box differs from the record as it was shown or last saved, as a save would
    // store it (upper case; blanks at either end do not count).
    bool edited() const;
    // Before the boxes are left behind: with edits, asks "Salvare le modifiche al record ?"
    // (Si', No, Annulla). Si' saves as F9 does (a save that does not happen keeps the
    // operator where he is), No puts the record as shown back into the boxes; true when the
    // caller may go on.
    bool leaveRecord();

    // A field of the record that no box shows, for the window of Command8.
    struct OtherField {
        int entry = 0;
        int position = 0; // 1-based
        int length = 0;
        std::string text; // as stored, control characters shown as blanks
    };
    std::vector<OtherField> otherFields() const;

    IdentityChecks& checks() { return m_checks; }
    records::Channels& channels() { return m_channels; }
    const std::string& employeeFile() const { return m_employeeFile; }
    int dataAreaSelector() const { return m_dataAreaSelector; }

    // Controls. Tx[0] is not used; so is Combo[0].
    std::array<records::TextBox, kBoxCount + 1> Tx;
    records::TextBox reco, Tx0, Text1, Text2;
    struct ComboBox {
        std::vector<std::string> items;
        int index = -1; // the item shown, -1 none
    };
    std::array<ComboBox, kComboCount + 1> Combo;
    std::vector<std::string> listaItems;
    std::vector<double> listaRecords; // the record number of each item
    std::string listaText; // what lista shows
    std::string statusText;
    bool tx22Visible = true;
    bool closeRequested = false;
    // The box that a key asked the focus to move to (1..23), 0 when none; the window moves
    // the focus and sets it back to 0. focusToCommand6: the focus goes to Command6.
    int focusRequest = 0;
    bool focusToCommand6 = false;

    // Window values.
    std::vector<std::string> entries; // the employee field table, entries 1 to 267 as stored
    double recordNumber = 0;
    double recordCount = 0;

private:
    bool openFile();
    bool mayWrite();
    void afterDeletion();
    // Shows record `target` after leaveRecord(); with edits on the record shown and the same
    // target (next on the last record), nothing is shown again and nothing is lost.
    bool moveTo(double target, bool setReco);
    bool readRecord(std::string& record);
    void fillList();
    void unpack(const std::string& record);
    void showEntries();
    void showRecord();
    void showCurrent(bool setReco);
    void setComboTexts();
    void exit();

    records::Workplace m_workplace;
    records::Channels m_channels;
    IdentityChecks m_checks;
    bool m_selected = false;
    std::string m_selectedDataFile;
    double m_employeeRecordCount = 0;
    int m_dataAreaSelector = 1;
    std::string m_employeeFile;
    bool m_loaded = false;
    bool m_recordWhole = false;      // the record shown was read whole
    std::vector<std::string> m_shownBoxes; // boxes 1 to 23 as shown or last saved
};

} // namespace registers
