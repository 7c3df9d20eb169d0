#include "registers/parteb1_form.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <span>

#include "payroll/employee_record.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/employee_code_lists.h"
#include "registers/employee_files.h"
#include "registers/record_slot.h"

namespace registers {

namespace {

constexpr int kMaxLengths[Parteb1Form::kBoxCount + 1]
    = {0, 16, 24, 20, 2, 2, 2, 4, 4, 4, 4, 6, 6, 6, 2, 2, 10, 2, 2, 2, 4, 1, 6, 1};

constexpr const char* kHelpTexts[Parteb1Form::kBoxCount + 1] = {
    "",
    " Codice fiscale",
    " Cognome",
    " Nome",
    " Qualifica 1",
    " Qualifica 2",
    " Qualifica 3",
    " Tipo contribuzione",
    " Cittadinanza",
    " Codice Comune",
    " Codice contratto",
    " Orario contrattuale",
    " Percentuale Part Time",
    " Mensilita'",
    " Giorno di assunzione",
    " Tipo assunzione",
    " Matricola INPS",
    " Giorno di cessazione",
    " Motivo cessazione",
    " Tipo lavoratore",
    " Tipo lavoratore statistico",
    " Regime Post 95 S/N",
    " Unita' Operativa (0=no)",
    " M = Mensile  G = Giornaliera",
};

constexpr const char* kUnreadRecord
    = "Il record del dipendente non e' stato letto per intero: nessuna modifica salvata ";
constexpr const char* kChooseAction = " Seleziona l'azione tramite i pulsanti";
constexpr const char* kDeleteWarning1 = " Attenzione.. hai scelto di cancellare il record ";
constexpr const char* kDeleteWarning2
    = "  Se non sei sicuro di questa scelta pressa NO nella successiva richiesta di modifica "
      "dati. Intanto pressa OK per continuare.";

constexpr std::size_t kRecordLength = payroll::kEmployeeRecordLength;
// Entries 1 to 214 end at position 1362; in the folder "pagmar" a 12-character entry 216
// follows at 1363, and the record's further layout is not known there.
constexpr int kLastCommonEntry = 214;
constexpr std::size_t kPagmarEntry216 = 1363;
constexpr std::size_t kPagmarEntry216Length = 12;
// Entries 218, 219 and 257 of the folder "paghe", shown in boxes 23, 21 and 22.
constexpr int kPayKindEntry = 218;
constexpr int kPost95Entry = 219;
constexpr int kOperatingUnitEntry = 257;
constexpr int kPagmarBox21Entry = 216;

std::string blankControls(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = records::kBlank;
    }
    return text;
}

} // namespace

Parteb1Form::Parteb1Form(records::Workplace workplace)
    : m_workplace(workplace)
    , m_channels(workplace.shared.paths, workplace.prompter)
    , m_checks(m_channels, workplace.shared.installation, workplace.prompter)
{
    for (int k = 1; k <= kBoxCount; ++k)
        Tx[static_cast<std::size_t>(k)].maxLength = kMaxLengths[k];
    entries.resize(payroll::kEmployeeEntryCount + 1);
}

void Parteb1Form::selectCompany(std::string selectedDataFile, double employeeRecordCount, int dataAreaSelector)
{
    m_selected = true;
    m_selectedDataFile = std::move(selectedDataFile);
    m_employeeRecordCount = employeeRecordCount;
    m_dataAreaSelector = dataAreaSelector == kPagmarArea ? kPagmarArea : kPagheArea;
}

void Parteb1Form::Form_Load()
{
    for (int c = 1; c <= kComboCount; ++c)
        Combo[static_cast<std::size_t>(c)] = {employeeCodeList(c).items, -1};

    records::SharedValues& shared = m_workplace.shared;
    // The window shows the working year and looks up the company's name in the company
    // register.
    completeInstallation(m_channels, shared.installation);

    if (!m_selected) {
        m_selectedDataFile = shared.selectedDataFile;
        m_employeeRecordCount = shared.employeeRecordCount;
        m_dataAreaSelector = shared.dataAreaSelector == kPagmarArea ? kPagmarArea : kPagheArea;
    }
    Text2.text = shared.installation.workingYear;
    Tx0.text = m_selectedDataFile.size() >= 9 ? m_selectedDataFile.substr(m_selectedDataFile.size() - 9, 3) : "";
    Text1.text = companyNameOf(m_channels, kLookupChannel, shared.installation, m_selectedDataFile);
    m_employeeFile = employeeDataFile(m_selectedDataFile, m_dataAreaSelector);

    if (!m_channels.paths().fileExists(m_employeeFile)) {
        // Opening it would leave an empty file where the payroll program keeps its own.
        m_workplace.prompter.message("Accesso", "Archivio inesistente " + m_employeeFile, records::Icon::Stop);
        closeRequested = true;
        return;
    }
    // The list reads no further than the file goes (a last record cut short is read, so
    // that the operator is told of it): a count from a damaged header cannot make the window
    // read a million records that are not there.
    std::error_code error;
    const auto size = std::filesystem::file_size(m_channels.paths().hostPath(m_employeeFile), error);
    const double inFile = error ? 0 : std::ceil(static_cast<double>(size) / static_cast<double>(kRecordLength));
    recordCount = std::clamp(std::floor(m_employeeRecordCount), 0.0, inFile);

    fillList();
    if (recordNumber == 0 || recordNumber > recordCount)
        recordNumber = 1;
    tx22Visible = m_dataAreaSelector != kPagmarArea;
    Tx[22].enabled = tx22Visible;
    // Entry 218 belongs to the layout of the folder "paghe" only: in "pagmar" the box shows
    // nothing and takes nothing.
    Tx[23].enabled = tx22Visible;
    m_loaded = true;
    showCurrent(true);
}

bool Parteb1Form::openFile()
{
    if (!m_channels.paths().fileExists(m_employeeFile)) {
        m_workplace.prompter.message("Accesso", "Archivio inesistente " + m_employeeFile, records::Icon::Stop);
        return false;
    }
    m_channels.select(kChannel, m_employeeFile, static_cast<int>(kRecordLength));
    m_channels.openBinary();
    if (m_channels.lastError() != 0) {
        m_channels.close(kChannel);
        return false;
    }
    return true;
}

bool Parteb1Form::readRecord(std::string& record)
{
    record.clear();
    if (!openFile())
        return false;
    m_channels.setRecordNumber(recordNumber);
    m_channels.readRecord();
    record = m_channels.channel(kChannel).recordBuffer;
    m_channels.close(kChannel);
    return record.size() == kRecordLength;
}

void Parteb1Form::fillList()
{
    listaItems.clear();
    listaRecords.clear();
    if (!openFile())
        return;
    for (double k = 1; k <= recordCount; ++k) {
        m_channels.setCurrent(kChannel);
        m_channels.setRecordNumber(k);
        m_channels.readRecord();
        const std::string& record = m_channels.channel(kChannel).recordBuffer;
        if (record.empty() || record[0] != payroll::kInUse)
            continue;
        listaItems.push_back(records::signedNumberText(k)
                             + std::string(records::trimRight(records::mid(record, 18, 24))) + " "
                             + std::string(records::mid(record, 42, 20)));
        listaRecords.push_back(k);
    }
    m_channels.close(kChannel);
}

void Parteb1Form::unpack(const std::string& record)
{
    entries = payroll::unpackEmployeeEntries(record);
    if (m_dataAreaSelector == kPagmarArea) {
        for (std::size_t k = kLastCommonEntry + 1; k < entries.size(); ++k)
            entries[k].clear();
        entries[kPagmarBox21Entry] = std::string(records::mid(record, kPagmarEntry216, kPagmarEntry216Length));
    }
}

void Parteb1Form::showEntries()
{
    for (std::size_t k = 1; k <= kFocusBoxCount; ++k)
        Tx[k].text = entries[k];
    Tx[23].text = entries[kPayKindEntry];
    if (m_dataAreaSelector == kPagmarArea) {
        Tx[21].text = entries[kPagmarBox21Entry];
    } else {
        Tx[21].text = entries[kPost95Entry];
        Tx[22].text = entries[kOperatingUnitEntry];
    }
    m_shownBoxes.assign(kBoxCount + 1, std::string());
    for (std::size_t k = 1; k <= kBoxCount; ++k)
        m_shownBoxes[k] = Tx[k].text;
}

void Parteb1Form::showRecord()
{
    std::string record;
    // A record that cannot be read (the channel has said why) shows empty boxes, which are
    // never saved over it.
    m_recordWhole = readRecord(record);
    unpack(record);
    showEntries();
}

void Parteb1Form::showCurrent(bool setReco)
{
    showRecord();
    listaText = Tx[2].text + " " + Tx[3].text;
    if (setReco)
        reco.text = records::digitsText(static_cast<long long>(recordNumber));
    for (int c = 1; c <= kComboCount; ++c)
        Combo[static_cast<std::size_t>(c)].index = -1;
    setComboTexts();
    Messaggio(kChooseAction);
}

void Parteb1Form::setComboTexts()
{
    for (int c = 1; c <= kComboCount; ++c) {
        ComboBox& combo = Combo[static_cast<std::size_t>(c)];
        const std::string& text = Tx[static_cast<std::size_t>(employeeCodeList(c).box)].text;
        // The last item that starts with the box's text is shown; an empty box matches all.
        // The first item of the contribution types, "Normale", is only shown for four blanks.
        for (std::size_t i = c == 4 ? 1 : 0; i < combo.items.size(); ++i) {
            if (combo.items[i].compare(0, text.size(), text) == 0 && combo.items[i].size() >= text.size())
                combo.index = static_cast<int>(i);
        }
    }
    if (Tx[7].text == "    ")
        Combo[4].index = 0;
}

void Parteb1Form::Messaggio(std::string_view text)
{
    statusText = std::string(text);
}

void Parteb1Form::messaggi(int index)
{
    if (index >= 1 && index <= kBoxCount)
        m_workplace.shared.helpText = kHelpTexts[index];
    Messaggio(m_workplace.shared.helpText);
}

bool Parteb1Form::moveTo(double target, bool setReco)
{
    if (target == recordNumber && edited())
        return false;
    if (!leaveRecord()) {
        reco.text = records::digitsText(static_cast<long long>(recordNumber));
        return false;
    }
    recordNumber = target;
    showCurrent(setReco);
    return true;
}

void Parteb1Form::lista_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(listaRecords.size()))
        return;
    if (moveTo(listaRecords[static_cast<std::size_t>(index)], true))
        focusToCommand6 = true;
}

void Parteb1Form::reco_Change()
{
    // Only a whole record number names a record: 1.5 would read and then write across the
    // boundary of two employees' records.
    const double value = records::numericValue(reco.text);
    if (!(value > 0) || value != std::floor(value) || value > 1e9)
        return;
    moveTo(value, false);
}

void Parteb1Form::Combo_Click(int combo, int index)
{
    if (combo < 1 || combo > kComboCount)
        return;
    const EmployeeCodeList& list = employeeCodeList(combo);
    ComboBox& box = Combo[static_cast<std::size_t>(combo)];
    if (index < 0 || index >= static_cast<int>(box.items.size()))
        return;
    const auto code = [&](int i) {
        return records::fitRight(box.items[static_cast<std::size_t>(i)], static_cast<std::size_t>(list.codeLength));
    };
    std::string& target = Tx[static_cast<std::size_t>(list.box)].text;
    target = code(index);
    box.index = index;
    if (combo != 4)
        return;
    // An item that starts with blanks continues the description of the item above: the
    // choice climbs to the item that carries the code. "Normale", the first, climbs to none.
    while (box.index >= 0 && records::mid(target, 1, 2) == "  ") {
        --box.index;
        if (box.index >= 0)
            target = code(box.index);
    }
}

void Parteb1Form::Command5_Click()
{
    for (std::size_t k = 1; k <= kFocusBoxCount; ++k)
        Tx[k].text = entries[k];
    for (int c = 1; c <= kComboCount; ++c)
        Combo[static_cast<std::size_t>(c)].index = -1;
    setComboTexts();
}

void Parteb1Form::Command6_Click()
{
    moveTo(std::max(std::min(recordNumber + 1, recordCount), 1.0), true);
}

void Parteb1Form::Command7_Click()
{
    moveTo(std::max(recordNumber - 1, 1.0), true);
}

bool Parteb1Form::edited() const
{
    if (!m_loaded)
        return false;
    for (std::size_t k = 1; k <= kBoxCount && k < m_shownBoxes.size(); ++k) {
        if (records::toUpper(records::trim(Tx[k].text)) != records::toUpper(records::trim(m_shownBoxes[k])))
            return true;
    }
    return false;
}

bool Parteb1Form::leaveRecord()
{
    if (!edited())
        return true;
    switch (m_workplace.prompter.askYesNoCancel(records::Question::SaveEdits, "Modifica dei dati",
                                                "Salvare le modifiche al record ?", records::Icon::Question)) {
    case records::Answer::Yes:
        return save();
    case records::Answer::No:
        showEntries();
        for (int c = 1; c <= kComboCount; ++c)
            Combo[static_cast<std::size_t>(c)].index = -1;
        setComboTexts();
        return true;
    case records::Answer::Cancel:
        break;
    }
    return false;
}

bool Parteb1Form::mayWrite()
{
    if (!m_loaded)
        return false;
    if (!m_recordWhole) {
        m_workplace.prompter.message("Accesso", kUnreadRecord, records::Icon::Stop);
        return false;
    }
    return true;
}

bool Parteb1Form::save()
{
    if (!mayWrite())
        return false;
    if (recordNumber < 1)
        recordNumber = 1;
    if (!openFile())
        return false;
    // The record is read again and changed only where the boxes go: what the payroll
    // program keeps in the other fields stays as it is now in the file.
    m_channels.setRecordNumber(recordNumber);
    m_channels.readRecord();
    std::string record = m_channels.channel(kChannel).recordBuffer;
    if (record.size() != kRecordLength) {
        // The channel has told why (past the end of the file, a record cut short): a slot
        // that holds no whole record is not written, so the register never makes one up.
        m_channels.close(kChannel);
        return false;
    }

    const payroll::FieldLayout& layout = payroll::employeeLayout();
    std::vector<std::string> stored = payroll::unpackEmployeeEntries(record);
    const auto boxText = [this](std::size_t box, std::size_t width) {
        return records::fitRight(records::toUpper(Tx[box].text), width);
    };
    for (std::size_t k = 1; k <= kFocusBoxCount; ++k)
        stored[k] = boxText(k, static_cast<std::size_t>(Tx[k].maxLength));
    if (m_dataAreaSelector == kPagmarArea) {
        payroll::store(layout, std::span<const std::string>(stored.data(), kFocusBoxCount + 1), record);
        record.replace(kPagmarEntry216 - 1, kPagmarEntry216Length, boxText(21, kPagmarEntry216Length));
    } else {
        stored[kPayKindEntry] = boxText(23, 1);
        stored[kPost95Entry] = boxText(21, 1);
        stored[kOperatingUnitEntry] = boxText(22, 6);
        payroll::store(layout, stored, record);
        const payroll::FieldSlot last = layout.slot(payroll::kEmployeeEntryCount);
        const auto end = static_cast<std::size_t>(last.position + last.length - 1);
        record.replace(end, kRecordLength - end, kRecordLength - end, '\0');
    }
    record[0] = payroll::kInUse;

    RecordSlot slot(m_channels, kChannel, recordNumber);
    const bool written = slot.write(record);
    m_channels.close(kChannel);
    if (written) {
        // The boxes show what is stored now.
        unpack(record);
        showEntries();
    }
    return written;
}

bool Parteb1Form::Command2_Click()
{
    if (!mayWrite() || !m_checks.confirmChange())
        return false;
    const bool saved = save();
    focusToCommand6 = true;
    return saved;
}

void Parteb1Form::Command1_Click()
{
    m_workplace.prompter.message({}, kDeleteWarning1 + records::signedNumberText(recordNumber) + kDeleteWarning2,
                                 records::Icon::None);
    if (!m_checks.confirmChange(records::Question::ConfirmDelete))
        return;
    if (!m_loaded || recordNumber < 1 || !openFile())
        return;
    m_channels.setRecordNumber(recordNumber);
    m_channels.readRecord();
    if (m_channels.channel(kChannel).recordBuffer.size() != kRecordLength) {
        m_channels.close(kChannel);
        return; // nothing to delete there: the channel has said why
    }
    RecordSlot slot(m_channels, kChannel, recordNumber);
    const bool written = slot.write(std::string(kRecordLength, '\0'));
    m_channels.close(kChannel);
    if (written)
        afterDeletion();
}

void Parteb1Form::afterDeletion()
{
    // The window stays on the employees left, showing the next one (or the one before), and
    // its status line says which record went.
    const double deleted = recordNumber;
    const std::string said = "Cancellato il record " + records::digitsText(static_cast<long long>(deleted)) + " ("
        + std::string(records::trim(entries[2])) + " " + std::string(records::trim(entries[3])) + ")";
    fillList();
    if (listaRecords.empty()) {
        m_workplace.prompter.message({}, said + ": l'archivio non ha altri dipendenti", records::Icon::Information);
        exit();
        return;
    }
    const auto next = std::upper_bound(listaRecords.begin(), listaRecords.end(), deleted);
    recordNumber = next != listaRecords.end() ? *next : listaRecords.back();
    showCurrent(true);
    Messaggio(said);
}

void Parteb1Form::exit()
{
    m_channels.closeAll();
    closeRequested = true;
}

bool Parteb1Form::Command3_Click()
{
    if (!leaveRecord())
        return false;
    exit();
    return true;
}

void Parteb1Form::Tx_GotFocus(int index)
{
    if (index >= 1 && index <= kFocusBoxCount) {
        records::TextBox& box = Tx[static_cast<std::size_t>(index)];
        box.text = std::string(records::trim(box.text));
    }
    messaggi(index);
}

void Parteb1Form::Tx_LostFocus(int index)
{
    if (index < 1 || index > kFocusBoxCount)
        return;
    records::TextBox& box = Tx[static_cast<std::size_t>(index)];
    box.text = records::padRight(box.text, static_cast<std::size_t>(box.maxLength));
}

void Parteb1Form::Tx_KeyDown(int index, int keyCode)
{
    switch (keyCode) {
    case kKeyEscape:
        Command3_Click();
        break;
    case kKeyF9:
        save();
        break;
    case kKeyEnter:
        focusRequest = index >= kFocusBoxCount ? 1 : index + 1;
        break;
    case kKeyUp:
        focusRequest = index <= 1 ? 1 : index - 1;
        break;
    default:
        break;
    }
}

std::vector<Parteb1Form::OtherField> Parteb1Form::otherFields() const
{
    const payroll::FieldLayout& layout = payroll::employeeLayout();
    const int last = m_dataAreaSelector == kPagmarArea ? kLastCommonEntry : payroll::kEmployeeEntryCount;
    std::vector<OtherField> fields;
    for (int k = kFocusBoxCount + 1; k <= last; ++k) {
        if (k == kPayKindEntry || k == kPost95Entry || k == kOperatingUnitEntry)
            continue;
        const payroll::FieldSlot slot = layout.slot(k);
        fields.push_back({k, slot.position, slot.length, blankControls(entries[static_cast<std::size_t>(k)])});
    }
    return fields;
}

} // namespace registers
