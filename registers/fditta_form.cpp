#include "registers/fditta_form.h"

#include <algorithm>
#include <stdexcept>

#include "payroll/company_code_lists.h"
#include "records/file_result.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/questions.h"
#include "registers/record_changes.h"

namespace registers {

namespace company_field = payroll::company_field;

namespace {

// Help lines of fields 1 to 34 (Windows-1252).
constexpr const char* kHelpTexts[FDittaForm::kFieldCount + 1] = {
    "",
    "0= Ditta individuale; 1= Societ\xE0, 2= Professionista",
    "Indicare la denominazione dell'impresa oppure cognome e nome dell'imprenditore, separati da trattino",
    "Indicare il Codice Fiscale (se l'imprenditore \xE8 persona fisica)",
    " M= sesso maschile; F= sesso femminile",
    "Data di nascita dell'imprenditore (es. 30 05 1992)",
    "Indicare il comune di nascita",
    "Indicare una breve descrizione del tipo di attivit\xE0 svolta",
    "Indicare la partita IVA",
    "Selezionare dall'elenco il codice descrivente il settore di attivit\xE0",
    "Selezionare dall'elenco il codice descrivente il tipo di attivit\xE0 svolta",
    "Selezionare dall'elenco il codice descrivente la natura giuridica dell'impresa",
    "Indicare il vecchio codice attivit\xE0 di 4 cifre",
    "0= Ordinaria; 1= Semplificata",
    "0= Trimestrale; 1= Mensile",
    "Indicare la percentuale d'indetraibilit\xE0 IVA",
    "Indicare via e n\xB0 civico relativi al domiclio fiscale",
    "Indicare il CAP relativo al domicilio fiscale",
    "Indicare il comune relativo al domicilio fiscale",
    "Indicare la sigla della provincia relativa al domicilio fiscale",
    "Indicare via e n\xB0 civico relativi alla sede d'attivit\xE0",
    "Indicare il CAP relativo alla sede d'attivit\xE0",
    "Indicare il comune relativo alla sede d'attivit\xE0",
    "Indicare la sigla della provincia relativa alla sede d'attivit\xE0",
    "Indicare un recapito telefonico",
    "Indicare l'indirizzo email",
    "Indicare il codice di 3 cifre della ditta madre",
    "Indicare il crediti IVA iniziale",
    "0= Assenza di corrispettivi; 1= Corrispettivi normali; 2= Ventilazione",
    "Indicare il record di personalizzazione conti",
    "1\xB0 sottoconto clienti",
    "1\xB0 sottoconto fornitori",
    "0= Non gestite; 1= Si",
    "Selezionare dall'elenco il codice dell'intermediario",
    "0= Non gestito; 1= S\xEC",
};

// The labels of the boxes whose codes are checked, as the window shows them.
const char* checkedBoxLabel(int box)
{
    switch (box) {
    case company_field::kFiscalCode: return "Codice fiscale";
    case company_field::kBirthDate: return "Data di nascita";
    default: return "Partita IVA";
    }
}

constexpr const char* kNotInList = "Codice non presente nell'elenco";

constexpr const char* kBlankWarning
    = "ATTENZIONE: questa operazione canceller\xE0 il record. Per annullarla, cliccare <NO> nella successiva richiesta "
      "di modifica dati. Cliccare <OK> per continuare.";

// The description of a coded field: the text of its value "0", "1" or "2" (nullptr where the
// value has none); any other value leaves the label as it was.
void describe(std::string& label, const std::string& value, const char* zero, const char* one,
              const char* two = nullptr)
{
    if (value == "0")
        label = zero;
    else if (value == "1")
        label = one;
    else if (value == "2" && two != nullptr)
        label = two;
}

} // namespace

namespace {

// The box and field of each code list.
int fieldOf(CodeList list)
{
    switch (list) {
    case CodeList::LegalForm: return company_field::kLegalForm;
    case CodeList::Sector: return company_field::kSector;
    case CodeList::Activity: return company_field::kActivityCode;
    case CodeList::Intermediary: return company_field::kIntermediary;
    case CodeList::AccountPersonalization: return company_field::kAccountPersonalization;
    }
    return 0;
}

constexpr TextBox CompanyBoxes::*kBoxes[FDittaForm::kFieldCount + 1] = {
    nullptr,
    &CompanyBoxes::kind,
    &CompanyBoxes::name,
    &CompanyBoxes::fiscalCode,
    &CompanyBoxes::sex,
    &CompanyBoxes::birthDate,
    &CompanyBoxes::birthPlace,
    &CompanyBoxes::activityDescription,
    &CompanyBoxes::vatNumber,
    &CompanyBoxes::sector,
    &CompanyBoxes::activityCode,
    &CompanyBoxes::legalForm,
    &CompanyBoxes::oldActivityCode,
    &CompanyBoxes::accountingRegime,
    &CompanyBoxes::vatSettlement,
    &CompanyBoxes::nonDeductibleVat,
    &CompanyBoxes::taxAddress,
    &CompanyBoxes::taxPostcode,
    &CompanyBoxes::taxMunicipality,
    &CompanyBoxes::taxProvince,
    &CompanyBoxes::seatAddress,
    &CompanyBoxes::seatPostcode,
    &CompanyBoxes::seatMunicipality,
    &CompanyBoxes::seatProvince,
    &CompanyBoxes::phone,
    &CompanyBoxes::email,
    &CompanyBoxes::parentCompany,
    &CompanyBoxes::initialVatCredit,
    &CompanyBoxes::takings,
    &CompanyBoxes::accountPersonalization,
    &CompanyBoxes::firstCustomerAccount,
    &CompanyBoxes::firstSupplierAccount,
    &CompanyBoxes::field32,
    &CompanyBoxes::intermediary,
    &CompanyBoxes::field34,
};

} // namespace

TextBox& CompanyBoxes::box(int field)
{
    if (field < 1 || field > FDittaForm::kFieldCount)
        throw std::out_of_range("fDitta: no box for field " + std::to_string(field));
    return this->*kBoxes[field];
}

const TextBox& CompanyBoxes::box(int field) const
{
    return const_cast<CompanyBoxes*>(this)->box(field);
}

FDittaForm::FDittaForm(records::Workplace workplace)
    : m_workplace(workplace)
    , m_store(workplace.paths, workplace.installation)
    , m_checks(workplace.paths, workplace.installation, workplace.prompter)
{
    for (int i = 1; i <= kFieldCount; ++i)
        box(i).maxLength = static_cast<int>(payroll::kCompanyFields[static_cast<std::size_t>(i)].length);
    birthDay.maxLength = 2;
    birthMonth.maxLength = 2;
    birthYear.maxLength = 4;
}

void FDittaForm::selectCompany(int company)
{
    records::showFailures(m_workplace.prompter,
                          completeInstallation(m_workplace.paths, m_workplace.installation));
    const CompanyRecordPlace place = m_store.placeOf(company);
    selectRecord(place.fileName, place.recordLength, place.recordNumber);
}

void FDittaForm::selectRecord(std::string fileName, int recordLength, std::int64_t recordNumber)
{
    if (recordLength < static_cast<int>(payroll::kCompanyRecordUsed))
        throw std::invalid_argument("fDitta: the records are too short for a company record");
    if (recordNumber < 1 || recordNumber >= 1'000'000'000)
        throw std::invalid_argument("fDitta: the record number must be a whole number from 1 up");
    m_record = CompanyRecord{};
    m_record.place = {std::move(fileName), recordLength, recordNumber};
    m_shown = false;
}

bool FDittaForm::openCompany(int company)
{
    if (!leaveRecord())
        return false;
    selectCompany(company);
    showRecord();
    return true;
}

void FDittaForm::load()
{
    records::showFailures(m_workplace.prompter,
                          completeInstallation(m_workplace.paths, m_workplace.installation));
    // The words of the coded fields, from the tables and the lists as the installation has
    // them; a list that cannot be read says so when it is offered.
    m_tables = payroll::CodeTables(m_workplace.paths, m_workplace.installation.drivePrefix);
    for (const CodeList list : {CodeList::Activity, CodeList::Intermediary, CodeList::AccountPersonalization}) {
        const payroll::CodeListFile read = readList(list);
        if (read.failures.empty())
            keepList(list, read.entries);
    }
    showRecord();
    scanCompanies();
    // A line of the installation's tables that could not be taken is named once.
    if (!m_tables.problems().empty())
        showStatus(m_tables.problemSummary());
}

void FDittaForm::showRecord()
{
    m_record = m_store.load(m_record.place);
    m_shown = true;
    showResult(m_workplace.prompter, m_record.read);
    m_shownFields = m_record.fields;
    showFields();
}

void FDittaForm::showFields()
{
    fields = m_shownFields;
    for (int i = 1; i <= kFieldCount; ++i)
        box(i).text = fields[static_cast<std::size_t>(i)];
    const std::string& date = fields[company_field::kBirthDate];
    birthDay.text = records::mid(date, 1, 2);
    birthMonth.text = records::mid(date, 3, 2);
    birthYear.text = records::mid(date, 5, 4);
    refreshDescriptions();
}

void FDittaForm::scanCompanies()
{
    companies = m_store.companies();
}

void FDittaForm::refreshDescriptions()
{
    describe(kindDescription, fields[company_field::kKind], "Ditta individuale", "Societ\xE0", "Professionista");
    describe(accountingDescription, fields[company_field::kAccountingRegime], "Ordinaria", "Semplificata");
    describe(settlementDescription, fields[company_field::kVatSettlement], "Trimestrale", "Mensile");
    describe(takingsDescription, fields[company_field::kTakings], "Senza corrispettivi", "Normali", "Ventilazione");
    describe(field32Description, fields[company_field::kField32], "Non gestite", "Gestite");
    describe(field34Description, fields[company_field::kField34], "Non gestito", "Gestito");

    // The words of a coded field: its list's, or that the list does not hold it.
    const auto words = [](std::string_view code, const std::optional<std::string>& found) {
        if (records::trim(code).empty())
            return std::string();
        return found ? *found : std::string(kNotInList);
    };
    const auto tableWords = [&](payroll::Codes table, int field) {
        const std::string& code = fields[static_cast<std::size_t>(field)];
        return words(code, m_tables[table].describe(code));
    };
    const auto listWords = [&](const std::vector<std::string>& entries, int field) {
        const std::string& code = fields[static_cast<std::size_t>(field)];
        const std::size_t length = payroll::kCompanyFields[static_cast<std::size_t>(field)].length;
        // A list that could not be read says nothing of a code.
        return entries.empty() ? std::string() : words(code, payroll::describeListedCode(entries, code, length));
    };
    sectorWords = tableWords(payroll::Codes::Sector, company_field::kSector);
    legalFormWords = tableWords(payroll::Codes::LegalForm, company_field::kLegalForm);
    activityCodeWords = listWords(m_activities, company_field::kActivityCode);
    personalizationWords = listWords(m_personalizations, company_field::kAccountPersonalization);
    intermediaryWords = listWords(m_intermediaries, company_field::kIntermediary);
}

void FDittaForm::keepList(CodeList list, const std::vector<std::string>& entries)
{
    switch (list) {
    case CodeList::Activity:
        m_activities = entries;
        break;
    case CodeList::Intermediary:
        m_intermediaries = entries;
        break;
    case CodeList::AccountPersonalization:
        m_personalizations = entries;
        break;
    case CodeList::LegalForm:
    case CodeList::Sector:
        break;
    }
}

void FDittaForm::showStatus(std::string_view text)
{
    statusText = std::string(text);
}

void FDittaForm::showHelp(int field)
{
    if (field >= 1 && field <= kFieldCount)
        m_helpText = kHelpTexts[field];
    showStatus(m_helpText);
}

void FDittaForm::boxChanged(int field)
{
    if (field < 1 || field > kFieldCount)
        return;
    fields[static_cast<std::size_t>(field)] = box(field).text;
    refreshDescriptions();
}

void FDittaForm::joinBirthDate()
{
    birthDate.text = records::fitRight(birthDay.text + birthMonth.text + birthYear.text,
                                       payroll::kCompanyFields[company_field::kBirthDate].length);
    fields[company_field::kBirthDate] = birthDate.text;
}

void FDittaForm::setBirthDate(std::string_view date)
{
    birthDate.text = std::string(date);
    boxChanged(company_field::kBirthDate);
    birthDay.text = records::mid(date, 1, 2);
    birthMonth.text = records::mid(date, 3, 2);
    birthYear.text = records::mid(date, 5, 4);
}

void FDittaForm::birthDateChanged()
{
    joinBirthDate();
}

namespace {
// A day or month typed as one digit takes its leading zero, so that the date keeps its
// eight places.
void zeroFillOneDigit(TextBox& box)
{
    const std::string_view typed = records::trim(box.text);
    if (typed.size() == 1 && typed[0] >= '0' && typed[0] <= '9')
        box.text = std::string("0") + typed[0];
}
} // namespace

void FDittaForm::birthDayLeft()
{
    zeroFillOneDigit(birthDay);
    joinBirthDate();
}

void FDittaForm::birthMonthLeft()
{
    zeroFillOneDigit(birthMonth);
    joinBirthDate();
}

void FDittaForm::birthYearLeft()
{
    joinBirthDate();
    m_checks.lastCheckFailed = false;
    if (records::numericValue(birthDate.text) > 0)
        m_checks.checkDate(birthDate.text, checkedBoxLabel(company_field::kBirthDate));
    // The date boxes stand for field 5: the focus goes back to the day.
    if (m_checks.lastCheckFailed)
        focusRequest = company_field::kBirthDate;
}

void FDittaForm::boxEntered(int field)
{
    if (field >= 1 && field <= kFieldCount) {
        TextBox& entered = box(field);
        entered.text = std::string(records::trim(entered.text));
        boxChanged(field);
    }
    showHelp(field);
}

void FDittaForm::boxLeft(int field)
{
    if (field < 1 || field > kFieldCount)
        return;
    TextBox& left = box(field);
    left.text = records::padRight(left.text, static_cast<std::size_t>(left.maxLength));
    boxChanged(field);
    if (field != company_field::kFiscalCode && field != company_field::kBirthDate && field != company_field::kVatNumber)
        return;

    // A box whose check fails keeps the focus, so that the operator corrects it first.
    m_checks.lastCheckFailed = false;
    switch (field) {
    case company_field::kFiscalCode: {
        if (kind.text == "0" || kind.text == "2") {
            m_checks.checkFiscalCode(left.text, checkedBoxLabel(field));
            std::string birth = left.text;
            // Without the municipality in the table nothing is derived: the boxes keep what
            // they hold rather than pieces of the fiscal code.
            if (m_checks.birthDataFromFiscalCode(birth)) {
                sex.text = m_checks.sex;
                boxChanged(company_field::kSex);
                birthPlace.text = m_checks.birthMunicipality;
                boxChanged(company_field::kBirthPlace);
                setBirthDate(birth);
            }
        } else if (kind.text == "1") {
            // A company's fiscal code is its VAT number: box 8 takes it when it is a right
            // one, and keeps what it holds otherwise.
            const std::string vat = left.text.substr(0, std::min<std::size_t>(left.text.size(), 11));
            if (m_checks.checkVatNumber(vat, checkedBoxLabel(field)).outcome == CheckResult::Outcome::Passed) {
                vatNumber.text = vat;
                boxChanged(company_field::kVatNumber);
            }
        }
        break;
    }
    case company_field::kBirthDate:
        // The birth date, which the three date boxes show too and which a save takes from
        // them. The description of the activity (box 7) is free text and is not checked.
        setBirthDate(left.text);
        if (records::numericValue(left.text) > 0)
            m_checks.checkDate(left.text, checkedBoxLabel(field));
        break;
    default:
        if (records::numericValue(left.text) > 0)
            m_checks.checkVatNumber(left.text, checkedBoxLabel(field));
        break;
    }
    if (m_checks.lastCheckFailed)
        focusRequest = field;
}

void FDittaForm::hide()
{
    if (!leaveRecord())
        return;
    visible = false;
}

void FDittaForm::boxKeyPressed(int field, BoxKey key)
{
    const BoxKeyAction action = boxKeyAction(key, field, kFieldCount);
    switch (action.kind) {
    case BoxKeyAction::Kind::Leave:
        hide();
        break;
    case BoxKeyAction::Kind::Save:
        saveAfterChecks(false);
        break;
    case BoxKeyAction::Kind::MoveFocus:
        focusRequest = action.box;
        break;
    case BoxKeyAction::Kind::Nothing:
        break;
    }
}

void FDittaForm::windowKeyPressed(BoxKey key)
{
    if (key == BoxKey::Escape)
        hide();
    else if (key == BoxKey::F9)
        focusRequest = 1;
}

bool FDittaForm::mayWrite()
{
    if (fileName().empty()) {
        m_workplace.prompter.message("Accesso", "Nessuna ditta selezionata ", records::Icon::Stop);
        return false;
    }
    // A record selected and not shown yet counts as not read.
    const StoreResult writable = m_store.checkWritable(m_record);
    showResult(m_workplace.prompter, writable);
    return writable.ok();
}

bool FDittaForm::save()
{
    if (!mayWrite())
        return false;
    joinBirthDate();
    for (int i = 1; i <= kFieldCount; ++i)
        fields[static_cast<std::size_t>(i)] = box(i).text;
    StoreResult saved = m_store.save(m_record, fields);
    if (saved.outcome == StoreResult::Outcome::ChangedOnDisk) {
        // Another clerk saved the record since it was shown: the operator chooses which stays.
        switch (askAboutChangedRecord(m_workplace.prompter, companyChanges(m_record.stored, saved.storedRecord))) {
        case records::Answer::Yes:
            showRecord();
            return false;
        case records::Answer::No:
            saved = m_store.save(m_record, fields, SaveMode::Overwrite);
            break;
        case records::Answer::Cancel:
            return false;
        }
    }
    showResult(m_workplace.prompter, saved);
    if (saved.failed())
        return false;
    m_shownFields = fields;
    return true;
}

std::string FDittaForm::boxText(int field) const
{
    // As a save stores it: the birth date from its three boxes, every field cut or filled
    // with blanks to its length.
    const std::string text
        = field == company_field::kBirthDate ? birthDay.text + birthMonth.text + birthYear.text : box(field).text;
    return records::fitRight(text, payroll::kCompanyFields[static_cast<std::size_t>(field)].length);
}

std::vector<FDittaForm::FailedCheck> FDittaForm::failedChecks() const
{
    std::vector<FailedCheck> failed;
    const auto add = [&failed](int field, const CheckResult& result) {
        if (result.failed())
            failed.push_back({field, result.message});
    };
    const std::string kindCode = boxText(company_field::kKind);
    if (kindCode == "0" || kindCode == "2")
        add(company_field::kFiscalCode, checkFiscalCode(boxText(company_field::kFiscalCode)));
    else if (kindCode == "1")
        add(company_field::kFiscalCode, checkVatNumber(boxText(company_field::kFiscalCode).substr(0, 11)));
    if (records::numericValue(boxText(company_field::kBirthDate)) > 0)
        add(company_field::kBirthDate, checkDate(boxText(company_field::kBirthDate)));
    if (records::numericValue(boxText(company_field::kVatNumber)) > 0)
        add(company_field::kVatNumber, checkVatNumber(boxText(company_field::kVatNumber)));
    return failed;
}

bool FDittaForm::saveAfterChecks(bool askConfirmation)
{
    if (!mayWrite())
        return false;
    const std::vector<FailedCheck> failed = failedChecks();
    for (const FailedCheck& check : failed) {
        if (!saveDespiteCheck(m_workplace.prompter, checkedBoxLabel(check.box), check.message))
            return false;
    }
    if (failed.empty() && askConfirmation && !confirmChange(m_workplace.prompter))
        return false;
    return save();
}

bool FDittaForm::edited() const
{
    if (!m_shown)
        return false;
    for (int i = 1; i <= kFieldCount; ++i) {
        const std::string text
            = i == company_field::kBirthDate ? birthDay.text + birthMonth.text + birthYear.text : box(i).text;
        if (records::trim(text) != records::trim(m_shownFields[static_cast<std::size_t>(i)]))
            return true;
    }
    return false;
}

bool FDittaForm::leaveRecord()
{
    if (!edited())
        return true;
    switch (askToSaveEdits(m_workplace.prompter)) {
    case records::Answer::Yes: {
        const bool saved = saveAfterChecks(false);
        if (saved)
            scanCompanies();
        return saved;
    }
    case records::Answer::No:
        showFields();
        return true;
    case records::Answer::Cancel:
        break;
    }
    return false;
}

bool FDittaForm::saveRecord()
{
    const bool saved = saveAfterChecks(true);
    // A new company's file is there now.
    if (saved)
        scanCompanies();
    return saved;
}

void FDittaForm::blankRecord()
{
    if (!mayWrite())
        return;
    m_workplace.prompter.message({}, kBlankWarning, records::Icon::None);
    if (!confirmChange(m_workplace.prompter))
        return;
    for (int i = 1; i <= kFieldCount; ++i) {
        TextBox& blanked = box(i);
        blanked.text = std::string(static_cast<std::size_t>(blanked.maxLength), records::kBlank);
        fields[static_cast<std::size_t>(i)] = blanked.text;
    }
    for (std::string* description : {&kindDescription, &accountingDescription, &settlementDescription,
                                     &takingsDescription, &field32Description, &field34Description, &note})
        description->clear();
    telFax.text.clear();
    birthDay.text.clear();
    birthMonth.text.clear();
    birthYear.text.clear();
    save();
    showRecord();
}

bool FDittaForm::close()
{
    if (leaveRecord())
        closeRequested = true;
    return closeRequested;
}

payroll::CodeListFile FDittaForm::readList(CodeList list) const
{
    const records::PathMapper& paths = m_workplace.paths;
    const records::Installation& installation = m_workplace.installation;
    payroll::CodeListFile read;
    switch (list) {
    case CodeList::LegalForm:
        read.entries = payroll::legalFormEntries(m_tables);
        break;
    case CodeList::Sector:
        read.entries = payroll::sectorEntries(m_tables);
        break;
    case CodeList::Activity:
        read = payroll::activityEntries(paths, installation.drivePrefix);
        break;
    case CodeList::Intermediary:
        read = payroll::intermediaryEntries(paths, installation.drivePrefix);
        break;
    case CodeList::AccountPersonalization:
        read = payroll::accountPersonalizationEntries(paths, std::string(records::trim(installation.dataDirectory)));
        break;
    }
    return read;
}

void FDittaForm::chooseCode(CodeList list)
{
    const payroll::CodeListFile read = readList(list);
    // What could not be read of a list's file is told before the list is offered.
    records::showFailures(m_workplace.prompter, read.failures);
    const std::vector<std::string>& entries = read.entries;
    keepList(list, read.failures.empty() ? entries : std::vector<std::string>());
    if (m_codeLists == nullptr)
        return;
    const std::optional<std::string> chosen = m_codeLists->choose(list, entries);
    // The list window's status: an entry was chosen or not.
    m_checks.lastCheckFailed = !chosen;
    if (!chosen) {
        refreshDescriptions();
        return;
    }
    const int field = fieldOf(list);
    TextBox& target = box(field);
    target.text = chosen->substr(0, std::min<std::size_t>(chosen->size(), static_cast<std::size_t>(target.maxLength)));
    boxChanged(field);
}

} // namespace registers
