#include "registers/fditta_form.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "payroll/company_code_lists.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/record_slot.h"

namespace registers {

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

constexpr const char* kUnreadRecord
    = "Il record della ditta non e' stato letto per intero: nessuna modifica salvata ";
constexpr const char* kChangeTitle = "Modifica dei dati";

// The labels of the boxes whose codes are checked, as the window shows them.
const char* checkedBoxLabel(int box)
{
    switch (box) {
    case 3: return "Codice fiscale";
    case 5: return "Data di nascita";
    default: return "Partita IVA";
    }
}

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

FDittaForm::FDittaForm(records::Workplace workplace)
    : m_workplace(workplace)
    , m_channels(workplace.shared.paths, workplace.prompter)
    , m_checks(m_channels, workplace.shared.installation, workplace.prompter)
{
    for (std::size_t i = 1; i <= static_cast<std::size_t>(kFieldCount); ++i)
        Tx[i].maxLength = static_cast<int>(payroll::kCompanyFields[i].length);
    ggn.maxLength = 2;
    mmn.maxLength = 2;
    aan.maxLength = 4;
}

void FDittaForm::selectCompany(int company)
{
    completeInstallation(m_channels, m_workplace.shared.installation);
    selectRecord(companyFileName(m_workplace.shared.installation, company), payroll::kCompanyFileRecordLength, 1);
}

void FDittaForm::selectRecord(std::string fileName, int recordLength, double recordNumber)
{
    if (recordLength < static_cast<int>(payroll::kCompanyRecordUsed))
        throw std::invalid_argument("fDitta: the records are too short for a company record");
    if (!(recordNumber >= 1 && std::floor(recordNumber) == recordNumber && recordNumber < 1e9))
        throw std::invalid_argument("fDitta: the record number must be a whole number from 1 up");
    m_fileName = std::move(fileName);
    m_recordLength = recordLength;
    m_recordNumber = recordNumber;
    m_shown = ShownRecord::None;
}

bool FDittaForm::openCompany(int company)
{
    if (!leaveRecord())
        return false;
    selectCompany(company);
    showRecord();
    m_channels.setCurrent(kRecordChannel);
    return true;
}

void FDittaForm::Form_Load()
{
    completeInstallation(m_channels, m_workplace.shared.installation);
    showRecord();
    m_channels.setCurrent(kRecordChannel);
    scanCompanies();
}

void FDittaForm::showRecord()
{
    std::string record;
    // A company whose file is not there yet starts blank; the file is made by the first save.
    m_shown = ShownRecord::Absent;
    if (!m_fileName.empty() && m_channels.paths().fileExists(m_fileName)) {
        m_shown = ShownRecord::Unread;
        m_channels.select(kRecordChannel, m_fileName, m_recordLength);
        m_channels.openBinary();
        if (m_channels.lastError() == 0) {
            m_channels.setRecordNumber(m_recordNumber);
            m_channels.readRecord();
            record = m_channels.channel(kRecordChannel).recordBuffer;
            if (record.size() == static_cast<std::size_t>(m_recordLength)) {
                m_shown = ShownRecord::Whole;
            } else {
                // Where the file ends before the slot there is nothing to lose; where it
                // holds part of the record, the empty boxes must never replace it.
                const RecordSlot slot(m_channels, kRecordChannel, m_recordNumber);
                if (slot.known() && slot.bytesBefore().empty())
                    m_shown = ShownRecord::Absent;
            }
        }
        m_channels.close(kRecordChannel);
    }
    m_shownFields = payroll::unpackCompanyRecord(record);
    showFields();
}

void FDittaForm::showFields()
{
    fields = m_shownFields;
    for (int i = 1; i <= kFieldCount; ++i)
        Tx[static_cast<std::size_t>(i)].text = fields[static_cast<std::size_t>(i)];
    ggn.text = records::mid(fields[5], 1, 2);
    mmn.text = records::mid(fields[5], 3, 2);
    aan.text = records::mid(fields[5], 5, 4);
    refreshLabels();
}

void FDittaForm::scanCompanies()
{
    companyList = registers::scanCompanies(m_channels.paths(), m_workplace.shared.installation);
    companyCount = static_cast<int>(companyList.size());
}

void FDittaForm::refreshLabels()
{
    describe(label23, fields[1], "Ditta individuale", "Societ\xE0", "Professionista");
    describe(label26, fields[13], "Ordinaria", "Semplificata");
    describe(label27, fields[14], "Trimestrale", "Mensile");
    describe(label28, fields[28], "Senza corrispettivi", "Normali", "Ventilazione");
    describe(label39, fields[32], "Non gestite", "Gestite");
    describe(label40, fields[34], "Non gestito", "Gestito");
}

void FDittaForm::Messaggio(std::string_view text)
{
    statusText = std::string(text);
}

void FDittaForm::messaggi(int index)
{
    if (index >= 1 && index <= kFieldCount)
        m_workplace.shared.helpText = kHelpTexts[index];
    Messaggio(m_workplace.shared.helpText);
}

void FDittaForm::Tx_Change(int index)
{
    if (index < 1 || index > kFieldCount)
        return;
    fields[static_cast<std::size_t>(index)] = Tx[static_cast<std::size_t>(index)].text;
    refreshLabels();
}

void FDittaForm::joinBirthDate()
{
    Tx[5].text = records::fitRight(ggn.text + mmn.text + aan.text, payroll::kCompanyFields[5].length);
    fields[5] = Tx[5].text;
}

void FDittaForm::setBirthDate(std::string_view date)
{
    Tx[5].text = std::string(date);
    Tx_Change(5);
    ggn.text = records::mid(date, 1, 2);
    mmn.text = records::mid(date, 3, 2);
    aan.text = records::mid(date, 5, 4);
}

void FDittaForm::ggn_Change()
{
    joinBirthDate();
}

void FDittaForm::mmn_Change()
{
    joinBirthDate();
}

void FDittaForm::aan_Change()
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

void FDittaForm::ggn_LostFocus()
{
    zeroFillOneDigit(ggn);
    joinBirthDate();
}

void FDittaForm::mmn_LostFocus()
{
    zeroFillOneDigit(mmn);
    joinBirthDate();
}

void FDittaForm::aan_LostFocus()
{
    joinBirthDate();
    m_checks.checkFailed = 0;
    if (records::numericValue(Tx[5].text) > 0)
        m_checks.checkDate(Tx[5].text);
    // The date boxes stand for field 5: the focus goes back to the day.
    if (m_checks.checkFailed != 0)
        focusRequest = 5;
}

void FDittaForm::Tx_GotFocus(int index)
{
    if (index >= 1 && index <= focusBoxCount) {
        TextBox& box = Tx[static_cast<std::size_t>(index)];
        box.text = std::string(records::trim(box.text));
        Tx_Change(index);
    }
    messaggi(index);
}

void FDittaForm::Tx_LostFocus(int index)
{
    if (index < 1 || index > focusBoxCount)
        return;
    TextBox& box = Tx[static_cast<std::size_t>(index)];
    box.text = records::padRight(box.text, static_cast<std::size_t>(box.maxLength));
    Tx_Change(index);
    if (index != 3 && index != 5 && index != 8)
        return;

    // A box whose check fails keeps the focus, so that the operator corrects it first.
    m_checks.checkFailed = 0;
    switch (index) {
    case 3: {
        const std::string& kind = Tx[1].text;
        if (kind == "0" || kind == "2") {
            m_checks.checkFiscalCode(box.text);
            std::string birth = box.text;
            // Without the municipality in the table nothing is derived: the boxes keep what
            // they hold rather than pieces of the fiscal code.
            if (m_checks.birthDataFromFiscalCode(birth)) {
                Tx[4].text = m_checks.sex;
                Tx_Change(4);
                Tx[6].text = m_checks.birthMunicipality;
                Tx_Change(6);
                setBirthDate(birth);
            }
        } else if (kind == "1") {
            // A company's fiscal code is its VAT number: box 8 takes it when it is a right
            // one, and keeps what it holds otherwise.
            const std::string vat = box.text.substr(0, std::min<std::size_t>(box.text.size(), 11));
            if (m_checks.checkVatNumber(vat).outcome == CheckResult::Outcome::Passed) {
                Tx[8].text = vat;
                Tx_Change(8);
            }
        }
        break;
    }
    case 5:
        // The birth date, which the three date boxes show too and which a save takes from
        // them. The description of the activity (box 7) is free text and is not checked.
        setBirthDate(box.text);
        if (records::numericValue(box.text) > 0)
            m_checks.checkDate(box.text);
        break;
    default:
        if (records::numericValue(box.text) > 0)
            m_checks.checkVatNumber(box.text);
        break;
    }
    if (m_checks.checkFailed != 0)
        focusRequest = index;
}

void FDittaForm::hide()
{
    if (!leaveRecord())
        return;
    m_channels.closeAll();
    visible = false;
}

void FDittaForm::Tx_KeyDown(int index, int keyCode)
{
    switch (keyCode) {
    case kKeyEscape:
        hide();
        break;
    case kKeyF9:
        saveAfterChecks(false);
        break;
    case kKeyEnter:
        focusRequest = index >= focusBoxCount ? 1 : index + 1;
        break;
    case kKeyUp:
        focusRequest = index <= 1 ? 1 : index - 1;
        break;
    default:
        break;
    }
}

void FDittaForm::Form_KeyDown(int keyCode)
{
    if (keyCode == kKeyEscape)
        hide();
    else if (keyCode == kKeyF9)
        focusRequest = 1;
}

bool FDittaForm::mayWrite()
{
    if (m_fileName.empty()) {
        m_workplace.prompter.message("Accesso", "Nessuna ditta selezionata ", records::Icon::Stop);
        return false;
    }
    if (m_shown != ShownRecord::Whole && m_shown != ShownRecord::Absent) {
        m_workplace.prompter.message("Accesso", kUnreadRecord, records::Icon::Stop);
        return false;
    }
    return true;
}

bool FDittaForm::save()
{
    if (!mayWrite())
        return false;
    joinBirthDate();
    for (int i = 1; i <= kFieldCount; ++i)
        fields[static_cast<std::size_t>(i)] = Tx[static_cast<std::size_t>(i)].text;
    const std::string record = payroll::packCompanyRecord(fields);

    // A file that this save makes and cannot fill is taken away again: an empty company file
    // would be listed as a company that cannot be read.
    const bool existed = m_channels.paths().fileExists(m_fileName);
    const auto removeIfMadeHere = [&] {
        if (existed)
            return;
        std::error_code error;
        const std::filesystem::path made = m_channels.paths().hostPath(m_fileName);
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(made, error)))
            std::filesystem::remove(made, error);
    };
    m_channels.select(kRecordChannel, m_fileName, m_recordLength);
    m_channels.openBinary();
    if (m_channels.lastError() != 0) {
        m_channels.close(kRecordChannel);
        removeIfMadeHere();
        return false; // the open has shown its message; nothing was written
    }

    RecordSlot slot(m_channels, kRecordChannel, m_recordNumber);
    std::string output = record;
    const std::string& before = slot.bytesBefore();
    if (slot.known() && before.size() < static_cast<std::size_t>(m_recordLength)) {
        // The file ends inside the slot (a new company): the record is completed with
        // blanks, so that it can be read back whole. Within an existing slot, what lies
        // after the company's fields stays as it is.
        if (before.size() > output.size())
            output += before.substr(output.size());
        output.resize(static_cast<std::size_t>(m_recordLength), records::kBlank);
    }
    const bool written = slot.write(output);
    m_channels.close(kRecordChannel);
    if (!written) {
        removeIfMadeHere();
        return false;
    }
    m_shown = ShownRecord::Whole;
    m_shownFields = fields;
    return true;
}

std::string FDittaForm::boxText(int index) const
{
    // As a save stores it: the birth date from its three boxes, every field cut or filled
    // with blanks to its length.
    const std::string& text
        = index == 5 ? ggn.text + mmn.text + aan.text : Tx[static_cast<std::size_t>(index)].text;
    return records::fitRight(text, payroll::kCompanyFields[static_cast<std::size_t>(index)].length);
}

std::vector<FDittaForm::FailedCheck> FDittaForm::failedChecks() const
{
    std::vector<FailedCheck> failed;
    const auto add = [&failed](int box, const CheckResult& result) {
        if (result.failed())
            failed.push_back({box, result.message});
    };
    const std::string kind = boxText(1);
    if (kind == "0" || kind == "2")
        add(3, checkFiscalCode(boxText(3)));
    else if (kind == "1")
        add(3, checkVatNumber(boxText(3).substr(0, 11)));
    if (records::numericValue(boxText(5)) > 0)
        add(5, checkDate(boxText(5)));
    if (records::numericValue(boxText(8)) > 0)
        add(8, checkVatNumber(boxText(8)));
    return failed;
}

bool FDittaForm::saveAfterChecks(bool askConfirmation)
{
    if (!mayWrite())
        return false;
    const std::vector<FailedCheck> failed = failedChecks();
    for (const FailedCheck& check : failed) {
        const std::string question = std::string("Il campo ") + checkedBoxLabel(check.box)
            + " non ha superato il controllo (" + check.message + "). Salvare comunque ?";
        if (!m_workplace.prompter.askYesNo(records::Question::SaveDespiteCheck, kChangeTitle, question,
                                           records::Icon::Question))
            return false;
    }
    if (failed.empty() && askConfirmation && !m_checks.confirmChange())
        return false;
    return save();
}

bool FDittaForm::edited() const
{
    if (m_shown == ShownRecord::None)
        return false;
    for (int i = 1; i <= kFieldCount; ++i) {
        const std::string& text = i == 5 ? ggn.text + mmn.text + aan.text : Tx[static_cast<std::size_t>(i)].text;
        if (records::trim(text) != records::trim(m_shownFields[static_cast<std::size_t>(i)]))
            return true;
    }
    return false;
}

bool FDittaForm::leaveRecord()
{
    if (!edited())
        return true;
    switch (m_workplace.prompter.askYesNoCancel(records::Question::SaveEdits, kChangeTitle,
                                                "Salvare le modifiche al record ?", records::Icon::Question)) {
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

bool FDittaForm::Command2_Click()
{
    const bool saved = saveAfterChecks(true);
    // A new company's file is there now.
    if (saved)
        scanCompanies();
    return saved;
}

void FDittaForm::Commandelimina_Click()
{
    if (!mayWrite())
        return;
    m_workplace.prompter.message({}, kBlankWarning, records::Icon::None);
    if (!m_checks.confirmChange())
        return;
    for (int i = 1; i <= kFieldCount; ++i) {
        TextBox& box = Tx[static_cast<std::size_t>(i)];
        box.text = std::string(static_cast<std::size_t>(box.maxLength), records::kBlank);
        fields[static_cast<std::size_t>(i)] = box.text;
    }
    for (std::string* label : {&label23, &label26, &label27, &label28, &label39, &label40, &label37})
        label->clear();
    ftel.text.clear();
    ggn.text.clear();
    mmn.text.clear();
    aan.text.clear();
    save();
    showRecord();
}

bool FDittaForm::Command3_Click()
{
    if (leaveRecord())
        closeRequested = true;
    return closeRequested;
}

void FDittaForm::chooseCode(CodeList list, const std::vector<std::string>& entries, int box)
{
    if (m_codeLists == nullptr)
        return;
    const std::optional<std::string> chosen = m_codeLists->choose(list, entries);
    // The list window's status: 0 when an entry was chosen.
    m_checks.checkFailed = chosen ? 0 : 1;
    if (!chosen)
        return;
    TextBox& target = Tx[static_cast<std::size_t>(box)];
    target.text = chosen->substr(0, std::min<std::size_t>(chosen->size(), static_cast<std::size_t>(target.maxLength)));
    Tx_Change(box);
}

void FDittaForm::Command13_Click()
{
    chooseCode(CodeList::LegalForm, payroll::legalFormEntries(), 11);
}

void FDittaForm::Command4_Click()
{
    chooseCode(CodeList::Sector, payroll::sectorEntries(), 9);
}

void FDittaForm::Command16_Click()
{
    chooseCode(CodeList::Activity,
               payroll::activityEntries(m_channels, kListChannel, m_workplace.shared.installation.drivePrefix), 10);
}

void FDittaForm::Command8_Click()
{
    chooseCode(CodeList::Intermediary,
               payroll::intermediaryEntries(m_channels, kListChannel, m_workplace.shared.installation.drivePrefix),
               33);
}

void FDittaForm::Command6_Click()
{
    chooseCode(CodeList::AccountPersonalization,
               payroll::accountPersonalizationEntries(
                   m_channels, kListChannel, std::string(records::trim(m_workplace.shared.installation.dataDirectory))),
               29);
}

} // namespace registers
