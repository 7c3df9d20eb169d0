#include "cu/createl_form.h"

#include <unordered_set>

#include "payroll/cu_header.h"
#include "records/channels.h"
#include "records/cp1252.h"
#include "records/installation.h"
#include "records/host_paths.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"

namespace cu {

namespace {

constexpr int kHeaderChannel = 1;
constexpr const char* kAccessTitle = "Accesso";
constexpr const char* kChooseKind = "Selezionare la tipologia di trasmissione della CU";

constexpr const char* kHelpTexts[CreatelForm::kTxCount] = {
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

// Typing limits of Tx(0)..Tx(11); 0 = none.
constexpr int kMaxLengths[CreatelForm::kTxCount] = {60, 60, 17, 6, 3, 0, 0, 0, 1, 8, 60, 60};

std::string headerFileName(const std::string& dataDirectory, const std::string& archive, const std::string& extension)
{
    return dataDirectory + "FCU" + archive + extension;
}

std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return text;
}

} // namespace

CreatelControls::CreatelControls()
{
    for (int i = 0; i < kTxCount; ++i)
        Tx[static_cast<std::size_t>(i)].maxLength = kMaxLengths[i];
}

CreatelForm::CreatelForm(records::Workplace workplace)
    : m_workplace(workplace)
    , m_channels(workplace.shared.paths, workplace.prompter)
{
}

Environment CreatelForm::environment()
{
    return {m_channels, m_workplace.shared.installation, m_workplace.prompter, m_workplace.launcher, m_cuFields,
            m_workplace.shared.helpText};
}

void CreatelForm::notify()
{
    if (changed)
        changed();
}

void CreatelForm::Messaggio(std::string_view text)
{
    statusText = std::string(text);
    notify();
}

void CreatelForm::messaggi(int index)
{
    if (index >= 0 && index < kTxCount)
        shared().helpText = kHelpTexts[index];
    Messaggio(shared().helpText);
}

void CreatelForm::enableProtocolBoxes(bool enabled)
{
    for (int i : {2, 3, 4})
        Tx[static_cast<std::size_t>(i)].enabled = enabled;
}

void CreatelForm::fillHeaderBoxes(const std::string& header)
{
    Tx[7].text = records::mid(header, 207, 16);
    Tx[8].text = records::mid(header, 223, 1);
    Tx[9].text = records::mid(header, 224, 8);
    Tx[10].text = records::mid(header, 330, 12);
    Tx[11].text = records::mid(header, 343, 45);
    // The run takes the commitment from the archive whenever the archive states it (header
    // fields 21 and 22 not 0); only a part the archive lacks is typed by the operator.
    const payroll::HeaderTable fields = payroll::unpackHeaderTable(header);
    Tx[8].readOnly = records::numericValue(fields[21]) != 0;
    Tx[9].readOnly = records::numericValue(fields[22]) != 0;
}

std::string CreatelForm::listItemText(const std::string& archive, const std::string& header) const
{
    return archive + " " + std::string(records::trim(records::mid(header, 21, 24))) + "-"
        + std::string(records::trim(records::mid(header, 45, 24)));
}

void CreatelForm::Form_Load()
{
    records::Channels& channels = m_channels;
    records::Installation& installation = shared().installation;

    inputFrameVisible = false;
    singleEmployeeFlag = 0;

    Tx[7].enabled = false;
    Tx[10].enabled = false;
    Tx[11].enabled = false;
    Tx[8].text = std::string(17, ' ');
    Tx[9].text = std::string(17, ' ');
    Tx[8].readOnly = false;
    Tx[9].readOnly = false;
    Tx[10].text = std::string(16, ' ');
    Tx[11].text.clear();

    combo1Items = {"N=Normale", "A=Annullamento", "S=Sostituzione", "T=Normale SINGOLA"};

    enableProtocolBoxes(false);
    Tx[1].text = "N";

    records::showFailure(prompter(), records::readDrive(channels.paths(), installation));
    archiveExtension = ".017";

    channels.setCurrent(kHeaderChannel);
    channels.currentChannel().recordLength = payroll::kHeaderRecordLength;
    listaItems.clear();
    listaText.clear();

    // One listing of the data directory tells which of the 999 possible header files exist.
    std::unordered_set<std::string> present;
    for (const std::string& name : channels.paths().listDirectory(installation.dataDirectory))
        present.insert(lowerAscii(name));

    for (int n = 1; n <= kMaxArchive; ++n) {
        const std::string archive = records::digitsText(n);
        if (!present.contains(lowerAscii("fcu" + archive + archiveExtension)))
            continue;
        ++archiveCount;
        archiveList[static_cast<std::size_t>(archiveCount)] = n;
        channels.select(kHeaderChannel, headerFileName(installation.dataDirectory, archive, archiveExtension),
                        payroll::kHeaderRecordLength);
        channels.openBinary();
        channels.setRecordNumber(1);
        channels.readRecord();
        const std::string& header = channels.channel(kHeaderChannel).recordBuffer;
        listaItems.push_back(listItemText(archive, header));
        fillHeaderBoxes(header);
    }

    channels.close(kHeaderChannel);
    Tx[5].text = installation.dataDirectory;
    Messaggio("Selezionare la CU dall'elenco oppure inserire il codice ad essa relativo.Premere <ok> per continuare.");
}

void CreatelForm::lista_Click(int index)
{
    if (index < 0 || index >= archiveCount)
        return;
    records::Channels& channels = m_channels;

    inputFrameVisible = false;
    selectedArchive = records::digitsText(archiveList[static_cast<std::size_t>(index + 1)]);
    listaText = listaItems[static_cast<std::size_t>(index)];

    channels.setCurrent(kHeaderChannel);
    channels.setRecordNumber(1);
    channels.select(kHeaderChannel,
                    headerFileName(shared().installation.dataDirectory, selectedArchive, archiveExtension),
                    payroll::kHeaderRecordLength);

    Tx[0].text = selectedArchive;
    Tx[6].text = "TCU" + selectedArchive + archiveExtension.substr(2, 2);
    Messaggio(kChooseKind);
}

bool CreatelForm::Command1_Click()
{
    records::Channels& channels = m_channels;

    selectedArchive = std::string(records::trim(Tx[0].text));
    channels.setCurrent(kHeaderChannel);
    channels.setRecordNumber(1);
    channels.currentChannel().recordLength = payroll::kHeaderRecordLength;

    if (records::numericValue(selectedArchive) == 0) {
        prompter().message(kAccessTitle, "Certificazione non ancora selezionata ", records::Icon::Stop);
        return false;
    }

    inputFrameVisible = true;
    const std::string fileName
        = headerFileName(shared().installation.dataDirectory, selectedArchive, archiveExtension);
    channels.currentChannel().fileName = fileName;
    if (!channels.paths().fileExists(fileName)) {
        notify();
        prompter().message(kAccessTitle, "Archivio inesistente ", records::Icon::Stop);
        return false;
    }

    channels.openBinary();
    channels.readRecord();
    const std::string header = channels.channel(kHeaderChannel).recordBuffer;

    switch (header.size() >= 2 ? header[1] : '\0') {
    case '1': Tx[1].text = "A"; break;
    case '2': Tx[1].text = "S"; break;
    case '0': Tx[1].text = "N"; break;
    default: break;
    }

    if (Tx[1].text == "S" || Tx[1].text == "A" || singleEmployeeFlag == 1)
        enableProtocolBoxes(true);
    if (Tx[1].text == "N" && singleEmployeeFlag == 0)
        enableProtocolBoxes(false);

    fillHeaderBoxes(header);
    listaText = listItemText(selectedArchive, header);
    Tx[6].text = "TCU" + selectedArchive + archiveExtension.substr(2, 2);
    Messaggio(kChooseKind);
    return true;
}

bool CreatelForm::openArchive(std::string_view number)
{
    Tx[0].text = std::string(number);
    return Command1_Click();
}

void CreatelForm::setSupplyOptions(const SupplyOptions& options)
{
    if (options.kind) {
        for (std::size_t i = 0; i < combo1Items.size(); ++i) {
            if (!combo1Items[i].empty() && combo1Items[i][0] == *options.kind)
                Combo1_Click(static_cast<int>(i));
        }
    }
    const std::pair<const std::optional<std::string>&, int> boxes[] = {
        {options.replacedSubmission, 2}, {options.replacedCertificate, 3}, {options.employeeRecord, 4},
        {options.outputFolder, 5},       {options.outputName, 6},          {options.commitmentType, 8},
        {options.commitmentDate, 9},
    };
    for (const auto& [text, box] : boxes) {
        if (text)
            Tx[static_cast<std::size_t>(box)].text = *text;
    }
}

void CreatelForm::Combo1_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(combo1Items.size()))
        return;
    Messaggio(kChooseKind);
    Tx[1].text = combo1Items[static_cast<std::size_t>(index)].substr(0, 1);
    if (Tx[1].text == "T") {
        Tx[1].text = "N";
        singleEmployeeFlag = 1;
    }
    if (Tx[1].text == "A" || Tx[1].text == "S" || singleEmployeeFlag == 1)
        enableProtocolBoxes(true);
}

void CreatelForm::Command5_Click()
{
    reportFlag = 0;
    if (prompter().askYesNo(records::Question::ReportWanted, {}, "Vuoi creare un report della memorizzazione del file ?"))
        reportFlag = 1;
}

telematic::RunResult CreatelForm::Command2_Click()
{
    telematic::RunOptions options;
    options.archive = selectedArchive;
    options.archiveExtension = archiveExtension;
    options.operationType = Tx[1].text;
    options.replacedSubmission = Tx[2].text;
    options.replacedCertificate = Tx[3].text;
    options.employeeRecord = Tx[4].text;
    options.outputFolder = Tx[5].text;
    options.outputName = Tx[6].text;
    options.commitmentType = Tx[8].text;
    options.commitmentDate = Tx[9].text;
    options.singleEmployee = singleEmployeeFlag == 1;
    options.report = reportFlag == 1;
    options.showProgress = [this](const std::string& text) {
        label17 = text;
        notify();
    };
    options.showAdvance = advanced;
    Environment writerEnvironment = environment();
    telematic::RunResult result = telematic::run(writerEnvironment, options);
    switch (result.outcome) {
    case telematic::RunOutcome::Completed:
        // The next run starts from a freshly loaded window; its status line says where the
        // file went, since the success message does not.
        reload();
        Messaggio("File telematico creato: " + records::utf8ToCp1252(result.telematicHostPath));
        break;
    case telematic::RunOutcome::Reported:
        closeRequested = true; // the report is shown and the program ends
        break;
    case telematic::RunOutcome::Stopped:
    case telematic::RunOutcome::Declined:
        // Nothing is being stored any more.
        label17.clear();
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
    Form_Load();
}

void CreatelForm::Command3_Click()
{
    closeRequested = true;
}

void CreatelForm::Tx_GotFocus(int index)
{
    messaggi(index);
}

void CreatelForm::Tx_LostFocus(int)
{
    // Leaving a box changes nothing.
}

} // namespace cu
