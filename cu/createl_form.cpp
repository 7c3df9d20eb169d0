#include "cu/createl_form.h"

#include <unordered_set>

#include "records/channels.h"
#include "records/installation.h"
#include "records/host_paths.h"
#include "records/numeric.h"
#include "records/prompter.h"
#include "records/text.h"

namespace cu {

namespace {

constexpr int kHeaderChannel = 1;
constexpr int kHeaderRecordLength = 1200;
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

CreatelForm::CreatelForm(Environment& environment)
    : m_environment(&environment)
{
    for (int i = 0; i < kTxCount; ++i)
        Tx[static_cast<std::size_t>(i)].maxLength = kMaxLengths[i];
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
        m_environment->helpText = kHelpTexts[index];
    Messaggio(m_environment->helpText);
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
}

std::string CreatelForm::listItemText(const std::string& archive, const std::string& header) const
{
    return archive + " " + std::string(records::trim(records::mid(header, 21, 24))) + "-"
        + std::string(records::trim(records::mid(header, 45, 24)));
}

void CreatelForm::Form_Load()
{
    records::Channels& channels = m_environment->channels;
    records::Installation& installation = m_environment->installation;

    inputFrameVisible = false;
    singleEmployeeFlag = 0;

    Tx[7].enabled = false;
    Tx[10].enabled = false;
    Tx[11].enabled = false;
    Tx[8].text = std::string(17, ' ');
    Tx[9].text = std::string(17, ' ');
    Tx[10].text = std::string(16, ' ');
    Tx[11].text.clear();

    combo1Items = {"N=Normale", "A=Annullamento", "S=Sostituzione", "T=Normale SINGOLA"};

    enableProtocolBoxes(false);
    Tx[1].text = "N";

    records::readDrive(channels, installation);
    archiveExtension = ".017";

    channels.setCurrent(kHeaderChannel);
    channels.currentChannel().recordLength = kHeaderRecordLength;
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
                        kHeaderRecordLength);
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
    records::Channels& channels = m_environment->channels;

    inputFrameVisible = false;
    selectedArchive = records::digitsText(archiveList[static_cast<std::size_t>(index + 1)]);
    listaText = listaItems[static_cast<std::size_t>(index)];

    channels.setCurrent(kHeaderChannel);
    channels.setRecordNumber(1);
    channels.select(kHeaderChannel,
                    headerFileName(m_environment->installation.dataDirectory, selectedArchive, archiveExtension),
                    kHeaderRecordLength);

    Tx[0].text = selectedArchive;
    Tx[6].text = "TCU" + selectedArchive + archiveExtension.substr(2, 2);
    Messaggio(kChooseKind);
}

void CreatelForm::Command1_Click()
{
    records::Channels& channels = m_environment->channels;

    selectedArchive = std::string(records::trim(Tx[0].text));
    channels.setCurrent(kHeaderChannel);
    channels.setRecordNumber(1);
    channels.currentChannel().recordLength = kHeaderRecordLength;

    if (records::numericValue(selectedArchive) == 0) {
        m_environment->prompter.message(kAccessTitle, "Certificazione non ancora selezionata ", records::Icon::Stop);
        return;
    }

    inputFrameVisible = true;
    const std::string fileName
        = headerFileName(m_environment->installation.dataDirectory, selectedArchive, archiveExtension);
    channels.currentChannel().fileName = fileName;
    if (!channels.paths().fileExists(fileName)) {
        notify();
        m_environment->prompter.message(kAccessTitle, "Archivio inesistente ", records::Icon::Stop);
        return;
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
    if (m_environment->prompter.askYesNo(records::Question::ReportWanted, {}, "Vuoi creare un report della memorizzazione del file ?"))
        reportFlag = 1;
}

telematic::RunResult CreatelForm::Command2_Click()
{
    telematic::RunInputs inputs;
    inputs.selectedArchive = selectedArchive;
    inputs.archiveExtension = archiveExtension;
    for (int i = 0; i < kTxCount; ++i)
        inputs.tx[static_cast<std::size_t>(i)] = Tx[static_cast<std::size_t>(i)].text;
    inputs.singleEmployeeFlag = singleEmployeeFlag;
    inputs.reportFlag = reportFlag;
    inputs.showProgress = [this](const std::string& text) {
        label17 = text;
        notify();
    };
    telematic::RunResult result = telematic::run(*m_environment, inputs);
    if (result.outcome == telematic::RunOutcome::Completed)
        reload(); // the next run starts from a freshly loaded window
    else if (result.outcome == telematic::RunOutcome::Reported)
        closeRequested = true; // the report is shown and the program ends
    return result;
}

void CreatelForm::reload()
{
    // Unloading and loading the window again: every control and value back to its initial
    // state, then the load step.
    auto keepNotifying = std::move(changed);
    *this = CreatelForm(*m_environment);
    changed = std::move(keepNotifying);
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
