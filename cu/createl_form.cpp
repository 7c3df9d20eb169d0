#include "cu/createl_form.h"

#include "cu/telematic/archive.h"
#include "cu/telematic/questions.h"
#include "records/cp1252.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"

namespace cu {

namespace {

constexpr const char* kChooseKind = "Selezionare la tipologia di trasmissione della CU";

// The boxes in the order of Box.
constexpr records::TextBox CreatelControls::*kBoxes[kBoxCount] = {
    &CreatelControls::archiveCode,
    &CreatelControls::supplyLetter,
    &CreatelControls::protocolId,
    &CreatelControls::protocolNumber,
    &CreatelControls::employeeRecord,
    &CreatelControls::outputFolder,
    &CreatelControls::outputName,
    &CreatelControls::intermediaryFiscalCode,
    &CreatelControls::commitmentType,
    &CreatelControls::commitmentDate,
    &CreatelControls::intermediaryPhone,
    &CreatelControls::intermediaryEmail,
};

// The help line of each box, in the order of Box.
constexpr const char* kHelpTexts[kBoxCount] = {
    "Inserire il codice della CU",
    "Tipo fornitura",
    "Protocollo 1 della CU da sostituire o annullare",
    "Protocollo 2 della CU da sostituire o annullare",
    "N.Record del Dipendente all'interno della C.U.",
    "Unita' e percorso del file",
    "Nome del file",
    "Codice fiscale Intermediario",
    "1=Dichiarazione predisposta dal Sostituto, 2=Da chi effettua l'invio",
    "Data dell'Impegno formato : ggmmaaaa",
    "Cellulare",
    "Indirizzo email",
};

// How many characters the clerk may type into each box, in the order of Box; 0 = no limit.
constexpr int kMaxLengths[kBoxCount] = {60, 60, 17, 6, 3, 0, 0, 0, 1, 8, 60, 60};

int boxIndex(Box which)
{
    return static_cast<int>(which);
}

} // namespace

CreatelControls::CreatelControls()
{
    for (int i = 0; i < kBoxCount; ++i)
        (this->*kBoxes[i]).maxLength = kMaxLengths[i];
}

records::TextBox& CreatelControls::box(Box which)
{
    return this->*kBoxes[boxIndex(which)];
}

const records::TextBox& CreatelControls::box(Box which) const
{
    return this->*kBoxes[boxIndex(which)];
}

CreatelForm::CreatelForm(records::Workplace workplace)
    : m_workplace(workplace)
{
}

void CreatelForm::notify()
{
    if (changed)
        changed();
}

void CreatelForm::showStatus(std::string_view text)
{
    statusText = std::string(text);
    notify();
}

void CreatelForm::showHelp(Box which)
{
    m_helpText = kHelpTexts[boxIndex(which)];
    showStatus(m_helpText);
}

void CreatelForm::showHelpAgain()
{
    showStatus(m_helpText);
}

void CreatelForm::enableProtocolBoxes(bool enabled)
{
    protocolId.enabled = enabled;
    protocolNumber.enabled = enabled;
    employeeRecord.enabled = enabled;
}

void CreatelForm::showHeader(const telematic::HeaderSummary& header)
{
    intermediaryFiscalCode.text = header.intermediaryFiscalCode;
    commitmentType.text = header.commitmentType;
    commitmentDate.text = header.commitmentDate;
    intermediaryPhone.text = header.intermediaryPhone;
    intermediaryEmail.text = header.intermediaryEmail;
    // The run takes the commitment from the archive whenever the archive states it; only a
    // part the archive lacks is typed by the clerk.
    commitmentType.readOnly = header.commitmentTypeStated;
    commitmentDate.readOnly = header.commitmentDateStated;
}

void CreatelForm::clearHeader()
{
    outputName.text.clear();
    intermediaryFiscalCode.text.clear();
    commitmentType.text = std::string(17, ' ');
    commitmentDate.text = std::string(17, ' ');
    commitmentType.readOnly = false;
    commitmentDate.readOnly = false;
    intermediaryPhone.text = std::string(16, ' ');
    intermediaryEmail.text.clear();
    archiveShown.clear();
}

void CreatelForm::load()
{
    records::Installation& installation = m_workplace.installation;

    inputFrameVisible = false;
    singleEmployee = false;

    intermediaryFiscalCode.enabled = false;
    intermediaryPhone.enabled = false;
    intermediaryEmail.enabled = false;
    clearHeader();

    supplyKinds = {"N=Normale", "A=Annullamento", "S=Sostituzione", "T=Normale SINGOLA"};

    enableProtocolBoxes(false);
    supplyLetter.text = "N";

    records::showFailure(prompter(), records::readDrive(m_workplace.paths, installation));

    archiveItems.clear();
    archiveNumbers.clear();
    // Until an archive is opened, the boxes of the input frame show the header of the last
    // archive listed.
    for (const telematic::ListedArchive& archive : telematic::listArchives(m_workplace)) {
        const telematic::HeaderSummary header
            = telematic::summarizeHeader(records::digitsText(archive.number), archive.headerRecord);
        archiveNumbers.push_back(archive.number);
        archiveItems.push_back(header.listItem);
        showHeader(header);
    }

    outputFolder.text = installation.dataDirectory;
    showStatus("Selezionare la CU dall'elenco oppure inserirne il codice, poi premere FASE 2 per aprirla");
}

void CreatelForm::chooseArchive(int item)
{
    if (item < 0 || item >= static_cast<int>(archiveNumbers.size()))
        return;
    inputFrameVisible = false;
    selectedArchive = records::digitsText(archiveNumbers[static_cast<std::size_t>(item)]);
    archiveShown = archiveItems[static_cast<std::size_t>(item)];
    archiveCode.text = selectedArchive;
    outputName.text = telematic::telematicFileName(selectedArchive);
    showStatus(kChooseKind);
}

bool CreatelForm::openArchive()
{
    const telematic::ArchiveOpening opening = telematic::openArchive(m_workplace, archiveCode.text);
    selectedArchive = opening.number;
    if (opening.outcome == telematic::ArchiveOpening::Outcome::NotChosen) {
        telematic::showStop(prompter(), opening.stopMessage);
        return false;
    }
    inputFrameVisible = true;
    if (!opening.opened()) {
        // Nothing of the archive opened before may stay on the screen as if it were this one's.
        clearHeader();
        notify();
        telematic::showStop(prompter(), opening.stopMessage);
        return false;
    }

    const telematic::HeaderSummary header = telematic::summarizeHeader(selectedArchive, opening.headerRecord);
    if (!header.storedSupplyLetter.empty())
        supplyLetter.text = header.storedSupplyLetter;
    if (supplyLetter.text == "S" || supplyLetter.text == "A" || singleEmployee)
        enableProtocolBoxes(true);
    if (supplyLetter.text == "N" && !singleEmployee)
        enableProtocolBoxes(false);

    showHeader(header);
    archiveShown = header.listItem;
    outputName.text = telematic::telematicFileName(selectedArchive);
    showStatus(kChooseKind);
    return true;
}

bool CreatelForm::openArchive(std::string_view number)
{
    archiveCode.text = std::string(number);
    return openArchive();
}

void CreatelForm::chooseSupplyKind(int item)
{
    if (item < 0 || item >= static_cast<int>(supplyKinds.size()))
        return;
    showStatus(kChooseKind);
    supplyLetter.text = supplyKinds[static_cast<std::size_t>(item)].substr(0, 1);
    if (supplyLetter.text == "T") {
        supplyLetter.text = "N";
        singleEmployee = true;
    }
    if (supplyLetter.text == "A" || supplyLetter.text == "S" || singleEmployee)
        enableProtocolBoxes(true);
}

void CreatelForm::setSupplyOptions(const SupplyOptions& options)
{
    if (options.kind) {
        for (std::size_t i = 0; i < supplyKinds.size(); ++i) {
            if (!supplyKinds[i].empty() && supplyKinds[i][0] == *options.kind)
                chooseSupplyKind(static_cast<int>(i));
        }
    }
    const std::pair<const std::optional<std::string>&, records::TextBox&> typed[] = {
        {options.replacedSubmission, protocolId}, {options.replacedCertificate, protocolNumber},
        {options.employeeRecord, employeeRecord}, {options.outputFolder, outputFolder},
        {options.outputName, outputName},         {options.commitmentType, commitmentType},
        {options.commitmentDate, commitmentDate},
    };
    for (const auto& [text, box] : typed) {
        if (text)
            box.text = *text;
    }
}

void CreatelForm::askForReport()
{
    reportWanted = false;
    reportWanted = telematic::askForReport(prompter());
}

telematic::RunRequest CreatelForm::request() const
{
    telematic::RunRequest request;
    request.archive = selectedArchive;
    request.supply = telematic::Supply(supplyLetter.text, singleEmployee);
    request.replaced = {protocolId.text, protocolNumber.text};
    request.employeeRecord = employeeRecord.text;
    request.commitment = {commitmentType.text, commitmentDate.text};
    request.outputFolder = outputFolder.text;
    request.outputName = outputName.text;
    request.report = reportWanted;
    return request;
}

telematic::RunResult CreatelForm::run()
{
    telematic::RunProgress progress;
    progress.storing = [this](const std::string& text) {
        progressText = text;
        notify();
    };
    progress.advanced = advanced;
    const telematic::RunResult result = telematic::run(m_workplace, request(), progress);
    switch (result.outcome) {
    case telematic::RunOutcome::Completed:
        // The next run starts from a freshly loaded window; its status line says where the
        // file went, since the success message does not.
        reload();
        showStatus("File telematico creato: " + records::utf8ToCp1252(result.telematicHostPath));
        break;
    case telematic::RunOutcome::Reported:
        launcher().showTextFile(result.reportHostPath, telematic::kRunTitle);
        // The report is in its viewer; when the clerk closes it, this window is ready for
        // the next run and says where both files went.
        reload();
        showStatus("File telematico creato: " + records::utf8ToCp1252(result.telematicHostPath)
                   + "; report: " + records::utf8ToCp1252(result.reportHostPath));
        break;
    case telematic::RunOutcome::Stopped:
    case telematic::RunOutcome::Declined:
        // Nothing is being stored any more.
        progressText.clear();
        notify();
        break;
    }
    return result;
}

void CreatelForm::reload()
{
    // Unloading and loading the window again: every control and value back to its initial
    // state, then the load step.
    static_cast<CreatelControls&>(*this) = CreatelControls();
    load();
}

void CreatelForm::finish()
{
    closeRequested = true;
}

} // namespace cu
