#include "registers/parteb1_form.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "payroll/employee_record.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/employee_code_lists.h"
#include "registers/employee_files.h"
#include "registers/questions.h"
#include "registers/record_changes.h"

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

constexpr const char* kChooseAction = " Seleziona l'azione tramite i pulsanti";
constexpr const char* kDeleteWarning1 = " Attenzione.. hai scelto di cancellare il record ";
constexpr const char* kDeleteWarning2
    = "  Se non sei sicuro di questa scelta pressa NO nella successiva richiesta di modifica "
      "dati. Intanto pressa OK per continuare.";

// Entries 1 to 214 are known in both folders; the folder "pagmar" keeps the regime after
// 1995 in entry 216.
using payroll::employee::kLastCommonEntry;
using payroll::employee::kPagmarPost95;
// Entries of the folder "paghe", shown in boxes 23, 21 and 22.
using payroll::employee::kOperatingUnit;
using payroll::employee::kPayKind;
using payroll::employee::kPost95;
// The code list of the contribution types, whose first item "Normale" has four blanks for
// its code.
constexpr int kContributionTypeList = 4;

constexpr records::TextBox EmployeeBoxes::*kBoxes[Parteb1Form::kBoxCount + 1] = {
    nullptr,
    &EmployeeBoxes::fiscalCode,
    &EmployeeBoxes::surname,
    &EmployeeBoxes::name,
    &EmployeeBoxes::qualification1,
    &EmployeeBoxes::qualification2,
    &EmployeeBoxes::qualification3,
    &EmployeeBoxes::contributionType,
    &EmployeeBoxes::citizenship,
    &EmployeeBoxes::municipalityCode,
    &EmployeeBoxes::contractCode,
    &EmployeeBoxes::contractHours,
    &EmployeeBoxes::partTimePercent,
    &EmployeeBoxes::monthlyPayments,
    &EmployeeBoxes::hiringDay,
    &EmployeeBoxes::hiringKind,
    &EmployeeBoxes::inpsNumber,
    &EmployeeBoxes::terminationDay,
    &EmployeeBoxes::terminationReason,
    &EmployeeBoxes::workerType,
    &EmployeeBoxes::statisticalWorkerType,
    &EmployeeBoxes::post95,
    &EmployeeBoxes::operatingUnit,
    &EmployeeBoxes::payKind,
};

constexpr CodeChoice EmployeeCodeChoices::*kLists[Parteb1Form::kCodeListCount + 1] = {
    nullptr,
    &EmployeeCodeChoices::qualifications,
    &EmployeeCodeChoices::workingTimes,
    &EmployeeCodeChoices::contractKinds,
    &EmployeeCodeChoices::contributionTypes,
    &EmployeeCodeChoices::citizenships,
    &EmployeeCodeChoices::hiringKinds,
    &EmployeeCodeChoices::terminationReasons,
    &EmployeeCodeChoices::workerTypes,
    &EmployeeCodeChoices::particularWorkerKinds,
};

std::string blankControls(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = records::kBlank;
    }
    return text;
}

} // namespace


records::TextBox& EmployeeBoxes::box(int k)
{
    if (k < 1 || k > Parteb1Form::kBoxCount)
        throw std::out_of_range("Parteb1: no box " + std::to_string(k));
    return this->*kBoxes[k];
}

const records::TextBox& EmployeeBoxes::box(int k) const
{
    return const_cast<EmployeeBoxes*>(this)->box(k);
}

CodeChoice& EmployeeCodeChoices::list(int n)
{
    if (n < 1 || n > Parteb1Form::kCodeListCount)
        throw std::out_of_range("Parteb1: no code list " + std::to_string(n));
    return this->*kLists[n];
}

const CodeChoice& EmployeeCodeChoices::list(int n) const
{
    return const_cast<EmployeeCodeChoices*>(this)->list(n);
}

Parteb1Form::Parteb1Form(records::Workplace workplace, const EmployeeFileChoice& employees)
    : m_workplace(workplace)
    , m_checks(workplace.paths, workplace.installation, workplace.prompter)
    , m_selectedDataFile(employees.selectedDataFile)
    , m_employeeRecordCount(employees.recordCount)
    , m_dataAreaSelector(employees.dataAreaSelector == kPagmarArea ? kPagmarArea : kPagheArea)
{
    for (int k = 1; k <= kBoxCount; ++k)
        box(k).maxLength = kMaxLengths[k];
    entries.resize(payroll::kEmployeeEntryCount + 1);
}

EmployeeStore Parteb1Form::store()
{
    return EmployeeStore(m_workplace.paths, m_employeeFile, m_dataAreaSelector);
}

void Parteb1Form::load()
{
    const records::PathMapper& paths = m_workplace.paths;
    records::Installation& installation = m_workplace.installation;
    // The window shows the working year and looks up the company's name in the company
    // register.
    records::showFailures(m_workplace.prompter, completeInstallation(paths, installation));

    // The code lists as the installation has corrected them, read afresh for each window.
    m_tables = payroll::CodeTables(paths, installation.drivePrefix);
    for (int n = 1; n <= kCodeListCount; ++n)
        list(n) = {employeeCodeItems(n, m_tables), -1};

    workingYear.text = installation.workingYear;
    companyCode.text
        = m_selectedDataFile.size() >= 9 ? m_selectedDataFile.substr(m_selectedDataFile.size() - 9, 3) : "";
    companyName.text = companyNameOf(paths, installation, m_selectedDataFile);
    m_employeeFile = employeeDataFile(m_selectedDataFile, m_dataAreaSelector);

    EmployeeStore employees = store();
    if (const StoreResult missing = employees.checkExists(); missing.failed()) {
        showResult(m_workplace.prompter, missing);
        closeRequested = true;
        return;
    }
    // The list reads no further than the file goes (a last record cut short is read, so
    // that the operator is told of it): a count from a damaged header cannot make the window
    // read a million records that are not there.
    recordCount = m_employeeRecordCount > 0 ? std::min(m_employeeRecordCount, employees.recordsInFile()) : 0;

    fillList();
    if (recordNumber == 0 || recordNumber > recordCount)
        recordNumber = 1;
    operatingUnitVisible = m_dataAreaSelector != kPagmarArea;
    operatingUnit.enabled = operatingUnitVisible;
    // Entry 218 belongs to the layout of the folder "paghe" only: in "pagmar" the box shows
    // nothing and takes nothing.
    payKind.enabled = operatingUnitVisible;
    m_loaded = true;
    showCurrent(true);
    // A line of the installation's tables that could not be taken is named once, where the
    // operator looks first.
    if (!m_tables.problems().empty())
        showStatus(m_tables.problemSummary());
}

std::string Parteb1Form::codeTableFile(int n) const
{
    return m_workplace.installation.drivePrefix + payroll::kInstallationTableFolder
        + std::string(payroll::tableFileName(employeeCodeList(n).table));
}

void Parteb1Form::fillList()
{
    employeeItems.clear();
    employeeRecords.clear();
    const EmployeeList listed = store().list(recordCount);
    showResult(m_workplace.prompter, listed.opened);
    for (const ListedEmployee& employee : listed.records) {
        if (employee.read.failed()) {
            showResult(m_workplace.prompter, employee.read);
            continue;
        }
        employeeItems.push_back(records::signedNumberText(static_cast<double>(employee.record))
                                + std::string(records::trimRight(employee.surname)) + " " + employee.name);
        employeeRecords.push_back(employee.record);
    }
}

void Parteb1Form::showEntries()
{
    for (int k = 1; k <= kFocusBoxCount; ++k)
        box(k).text = entries[static_cast<std::size_t>(k)];
    payKind.text = entries[kPayKind];
    if (m_dataAreaSelector == kPagmarArea) {
        post95.text = entries[kPagmarPost95];
    } else {
        post95.text = entries[kPost95];
        operatingUnit.text = entries[kOperatingUnit];
    }
    m_shownBoxes.assign(kBoxCount + 1, std::string());
    for (int k = 1; k <= kBoxCount; ++k)
        m_shownBoxes[static_cast<std::size_t>(k)] = box(k).text;
}

void Parteb1Form::showRecord()
{
    // A record that cannot be read (the store has said why) shows empty boxes, which are
    // never saved over it.
    m_record = store().load(recordNumber);
    showResult(m_workplace.prompter, m_record.read);
    entries = m_record.entries;
    showEntries();
}

void Parteb1Form::showCurrent(bool setRecordBox)
{
    showRecord();
    employeeShown = surname.text + " " + name.text;
    if (setRecordBox)
        recordBox.text = records::digitsText(recordNumber);
    for (int n = 1; n <= kCodeListCount; ++n)
        list(n).index = -1;
    setCodeChoices();
    showStatus(kChooseAction);
}

void Parteb1Form::setCodeChoices()
{
    for (int n = 1; n <= kCodeListCount; ++n) {
        CodeChoice& choice = list(n);
        const std::string& text = box(employeeCodeList(n).box).text;
        // The last item that starts with the box's text is shown; an empty box matches all.
        // The first item of the contribution types, "Normale", is only shown for four blanks.
        for (std::size_t i = n == kContributionTypeList ? 1 : 0; i < choice.items.size(); ++i) {
            if (choice.items[i].compare(0, text.size(), text) == 0 && choice.items[i].size() >= text.size())
                choice.index = static_cast<int>(i);
        }
    }
    if (contributionType.text == "    ")
        contributionTypes.index = 0;
}

void Parteb1Form::showStatus(std::string_view text)
{
    statusText = std::string(text);
}

void Parteb1Form::showHelp(int k)
{
    if (k >= 1 && k <= kBoxCount)
        m_helpText = kHelpTexts[k];
    showStatus(m_helpText);
}

bool Parteb1Form::moveTo(std::int64_t target, bool setRecordBox)
{
    if (target == recordNumber && edited())
        return false;
    if (!leaveRecord()) {
        recordBox.text = records::digitsText(recordNumber);
        return false;
    }
    recordNumber = target;
    showCurrent(setRecordBox);
    return true;
}

void Parteb1Form::chooseEmployee(int item)
{
    if (item < 0 || item >= static_cast<int>(employeeRecords.size()))
        return;
    if (moveTo(employeeRecords[static_cast<std::size_t>(item)], true))
        focusToNext = true;
}

void Parteb1Form::recordNumberTyped()
{
    // Only a whole record number names a record: 1.5 would read and then write across the
    // boundary of two employees' records.
    const double value = records::numericValue(recordBox.text);
    if (!(value > 0) || value != std::floor(value) || value > 1e9)
        return;
    moveTo(static_cast<std::int64_t>(value), false);
}

void Parteb1Form::chooseCode(int n, int item)
{
    if (n < 1 || n > kCodeListCount)
        return;
    const EmployeeCodeList& codes = employeeCodeList(n);
    CodeChoice& choice = list(n);
    if (item < 0 || item >= static_cast<int>(choice.items.size()))
        return;
    const auto code = [&](int i) {
        return records::fitRight(choice.items[static_cast<std::size_t>(i)], static_cast<std::size_t>(codes.codeLength));
    };
    std::string& target = box(codes.box).text;
    target = code(item);
    choice.index = item;
    if (n != kContributionTypeList)
        return;
    // An item that starts with blanks continues the description of the item above: the
    // choice climbs to the item that carries the code. "Normale", the first, climbs to none.
    while (choice.index >= 0 && records::mid(target, 1, 2) == "  ") {
        --choice.index;
        if (choice.index >= 0)
            target = code(choice.index);
    }
}

void Parteb1Form::restoreBoxes()
{
    for (int k = 1; k <= kFocusBoxCount; ++k)
        box(k).text = entries[static_cast<std::size_t>(k)];
    for (int n = 1; n <= kCodeListCount; ++n)
        list(n).index = -1;
    setCodeChoices();
}

void Parteb1Form::nextRecord()
{
    moveTo(std::max<std::int64_t>(std::min(recordNumber + 1, recordCount), 1), true);
}

void Parteb1Form::previousRecord()
{
    moveTo(std::max<std::int64_t>(recordNumber - 1, 1), true);
}

bool Parteb1Form::edited() const
{
    if (!m_loaded)
        return false;
    for (int k = 1; k <= kBoxCount && k < static_cast<int>(m_shownBoxes.size()); ++k) {
        if (records::toUpper(records::trim(box(k).text))
            != records::toUpper(records::trim(m_shownBoxes[static_cast<std::size_t>(k)])))
            return true;
    }
    return false;
}

bool Parteb1Form::leaveRecord()
{
    if (!edited())
        return true;
    switch (askToSaveEdits(m_workplace.prompter)) {
    case records::Answer::Yes:
        return save();
    case records::Answer::No:
        showEntries();
        for (int n = 1; n <= kCodeListCount; ++n)
            list(n).index = -1;
        setCodeChoices();
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
    const StoreResult writable = store().checkWritable(m_record);
    showResult(m_workplace.prompter, writable);
    return writable.ok();
}

bool Parteb1Form::save()
{
    if (!mayWrite())
        return false;
    PersonalPart part;
    for (int k = 1; k <= kFocusBoxCount; ++k)
        part.entries[static_cast<std::size_t>(k)] = box(k).text;
    part.post95 = post95.text;
    part.operatingUnit = operatingUnit.text;
    part.payKind = payKind.text;
    StoreResult saved = store().save(m_record, part);
    if (saved.outcome == StoreResult::Outcome::ChangedOnDisk) {
        // Another clerk saved the record since it was shown: the operator chooses which stays.
        switch (askAboutChangedRecord(m_workplace.prompter, employeeChanges(store(), m_record, saved.storedRecord))) {
        case records::Answer::Yes:
            showCurrent(true);
            return false;
        case records::Answer::No:
            saved = store().save(m_record, part, SaveMode::Overwrite);
            break;
        case records::Answer::Cancel:
            return false;
        }
    }
    showResult(m_workplace.prompter, saved);
    if (saved.failed())
        return false;
    // The boxes show what is stored now.
    entries = m_record.entries;
    showEntries();
    return true;
}

bool Parteb1Form::saveRecord()
{
    if (!mayWrite() || !confirmChange(m_workplace.prompter))
        return false;
    const bool saved = save();
    focusToNext = true;
    return saved;
}

void Parteb1Form::deleteRecord()
{
    m_workplace.prompter.message(
        {}, kDeleteWarning1 + records::signedNumberText(static_cast<double>(recordNumber)) + kDeleteWarning2,
        records::Icon::None);
    if (!confirmDeletion(m_workplace.prompter))
        return;
    if (!m_loaded || recordNumber < 1)
        return;
    const StoreResult deleted = store().remove(recordNumber);
    showResult(m_workplace.prompter, deleted);
    if (deleted.ok())
        afterDeletion();
}

void Parteb1Form::afterDeletion()
{
    // The window stays on the employees left, showing the next one (or the one before), and
    // its status line says which record went.
    const std::int64_t deleted = recordNumber;
    const std::string said = "Cancellato il record " + records::digitsText(deleted) + " ("
        + std::string(records::trim(entries[payroll::employee::kSurname])) + " "
        + std::string(records::trim(entries[payroll::employee::kFirstName])) + ")";
    fillList();
    if (employeeRecords.empty()) {
        m_workplace.prompter.message({}, said + ": l'archivio non ha altri dipendenti", records::Icon::Information);
        exit();
        return;
    }
    const auto next = std::upper_bound(employeeRecords.begin(), employeeRecords.end(), deleted);
    recordNumber = next != employeeRecords.end() ? *next : employeeRecords.back();
    showCurrent(true);
    showStatus(said);
}

void Parteb1Form::exit()
{
    closeRequested = true;
}

bool Parteb1Form::close()
{
    if (!leaveRecord())
        return false;
    exit();
    return true;
}

void Parteb1Form::boxEntered(int k)
{
    if (k >= 1 && k <= kFocusBoxCount) {
        records::TextBox& entered = box(k);
        entered.text = std::string(records::trim(entered.text));
    }
    showHelp(k);
}

void Parteb1Form::boxLeft(int k)
{
    if (k < 1 || k > kFocusBoxCount)
        return;
    records::TextBox& left = box(k);
    left.text = records::padRight(left.text, static_cast<std::size_t>(left.maxLength));
}

void Parteb1Form::boxKeyPressed(int k, BoxKey key)
{
    const BoxKeyAction action = boxKeyAction(key, k, kFocusBoxCount);
    switch (action.kind) {
    case BoxKeyAction::Kind::Leave:
        close();
        break;
    case BoxKeyAction::Kind::Save:
        save();
        break;
    case BoxKeyAction::Kind::MoveFocus:
        focusRequest = action.box;
        break;
    case BoxKeyAction::Kind::Nothing:
        break;
    }
}

std::vector<Parteb1Form::OtherField> Parteb1Form::otherFields() const
{
    const payroll::FieldLayout& layout = payroll::employeeLayout();
    const int last = m_dataAreaSelector == kPagmarArea ? kLastCommonEntry : payroll::kEmployeeEntryCount;
    std::vector<OtherField> fields;
    for (int k = kFocusBoxCount + 1; k <= last; ++k) {
        if (k == kPayKind || k == kPost95 || k == kOperatingUnit)
            continue;
        const payroll::FieldSlot slot = layout.slot(k);
        fields.push_back({k, slot.position, slot.length, blankControls(entries[static_cast<std::size_t>(k)])});
    }
    return fields;
}

} // namespace registers
