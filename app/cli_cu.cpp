#include <unistd.h>

#include <iostream>

#include "app/cli.h"
#include "app/console_prompter.h"
#include "app/program_values.h"
#include "cu/telematic/archive.h"
#include "cu/telematic/questions.h"
#include "cu/telematic/run.h"
#include "records/cu_edition.h"
#include "records/installation.h"

namespace app::cli {

// The help names the CU files and the telematic file after the edition the program writes.
constexpr records::FixedText kCuHelpText = records::joinTexts(
    R"(Uso: telematico-cli cu --root CARTELLA --archive N [opzioni]

Crea il file telematico della Certificazione Unica N come i tasti della finestra createl:
apre l'archivio ("FASE 2"), sceglie il tipo di fornitura, scrive i testi nelle caselle e
preme "FASE 3". Stampa il percorso del file creato (e del report, con --report).

  --root CARTELLA          cartella dell'installazione (una sottocartella per unita': c, d...)
  --archive N              numero dell'archivio CU, da 1 a 999: file FCUn)",
    records::cu_edition::fileExtension,
    R"( e DCUn)",
    records::cu_edition::fileExtension,
    R"(
                           della cartella dei dati (C:)",
    records::cu_edition::dataFolder,
    R"()
  --supply N|A|S|T         tipo di fornitura: N normale (tutti i dipendenti), A annullamento
                           o S sostituzione di una certificazione gia' inviata, T normale
                           di un solo dipendente (quello di --record)
  --protocol-id TESTO      con A e S: identificativo dell'invio (protocollo telematico):
                           i primi 17 caratteri devono essere cifre
  --protocol-number TESTO  con A e S: numero progressivo della certificazione: i primi 6
                           caratteri devono essere cifre
  --record N               con A, S e T: numero del record del dipendente nell'archivio
  --commitment-type T      impegno alla trasmissione, se l'archivio non lo indica:
                           1 dichiarazione predisposta dal sostituto, 2 da chi la invia
  --commitment-date GGMMAAAA
                           data dell'impegno, se l'archivio non la indica (es. 2802)",
    records::cu_edition::year,
    R"():
                           un giorno vero del calendario
                           (l'impegno indicato dall'archivio vale sempre: i due testi sono
                           usati solo per la parte che l'archivio non indica)
  --out-dir TESTO          cartella del file telematico, nella notazione dell'installazione
                           (predefinita: la cartella dei dati)
  --out-name TESTO         nome del file telematico (predefinito: TCUn)",
    records::cu_edition::yearDigits,
    R"()
  --report                 scrive anche il report (report.txt) e il file avstp.bat
  --yes                    conferma l'annullamento o la sostituzione del dipendente

I testi sono in UTF-8 e vengono convertiti nella codifica dell'installazione. Ogni opzione
si indica una volta sola. Mentre un'elaborazione scrive un file telematico, un'altra che
vuole scrivere lo stesso file si ferma con "Il file ... e' in uso da ...".
Uscita: 0 file telematico creato (con --report anche il report e avstp.bat); 1 nessun file:
messaggio di arresto (anche file in uso o archivio modificato durante l'elaborazione) o
conferma negata; 2 opzioni errate, o CARTELLA senza installazione (manca c\disco.ute):
nessun file creato; 3 con --report: file telematico creato (ne stampa il percorso), ma il
report o avstp.bat non si e' potuto scrivere.
)");
const char* const kCuHelp = kCuHelpText.c_str();

namespace {

// The exit status of a run that stored its telematic file but could not write the report
// that was asked for.
constexpr int kStoredWithoutReport = 3;

// The options that give a text of the request.
constexpr const char* kTextOptions[] = {
    "protocol-id", "protocol-number", "record", "commitment-type", "commitment-date", "out-dir", "out-name",
};

} // namespace

int cuCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    Arguments arguments;
    std::set<std::string> valued = {"root", "archive", "supply"};
    for (const char* option : kTextOptions)
        valued.insert(option);
    if (const std::string error = arguments.parse(argv, 2, {"report", "yes"}, valued); !error.empty()) {
        return usageError(err, "cu", error);
    }
    const auto root = arguments.value("root");
    const auto archive = arguments.value("archive");
    if (!root || root->empty() || !archive) {
        return usageError(err, "cu", "servono --root CARTELLA e --archive N");
    }
    const auto supply = arguments.value("supply");
    if (supply && (supply->size() != 1 || std::string("NAST").find(*supply) == std::string::npos)) {
        return usageError(err, "cu", "--supply vale N, A, S o T");
    }

    ConsolePrompter console(err);
    ConsoleLauncher launcher(err);
    if (arguments.flag("report"))
        console.answerYes(cu::telematic::kReportWanted);
    if (arguments.flag("yes"))
        console.answerYes(cu::telematic::kConfirmAnnulment);

    const auto installation = installationRoot(err, "cu", *root);
    if (!installation)
        return 2;
    app::ProgramValues shared(*installation);
    const records::Workplace workplace = shared.workplace(console, launcher);
    // The progress of the run, on the terminal only.
    TerminalProgress progress(err, &err == &std::cerr && ::isatty(STDERR_FILENO) == 1, "Dipendenti");
    console.beforeLine = [&progress] { progress.endLine(); };

    // The clerk's steps in the createl window, in order. The command line speaks UTF-8; the
    // request holds the installation's Windows-1252 text.
    records::showFailure(console, records::readDrive(shared.paths, shared.installation));
    cu::telematic::RunRequest request;
    if (arguments.flag("report"))
        request.report = cu::telematic::askForReport(console);
    const cu::telematic::ArchiveOpening opening = cu::telematic::openArchive(workplace, installationText(*archive));
    if (!opening.opened()) {
        cu::telematic::showStop(console, opening.stopMessage);
        return 1; // the archive could not be opened: the clerk would not go on
    }
    const cu::telematic::HeaderSummary header = cu::telematic::summarizeHeader(opening.number, opening.headerRecord);
    const auto text = [&arguments](const char* option, const std::string& otherwise) {
        const auto given = arguments.value(option);
        return given ? installationText(*given) : otherwise;
    };

    request.archive = opening.number;
    // The kind of supply chosen, else the one stored with the archive, else an ordinary one.
    if (supply == "T")
        request.supply = cu::telematic::Supply::singleEmployeeSupply();
    else if (supply)
        request.supply = cu::telematic::Supply(*supply);
    else if (!header.storedSupplyLetter.empty())
        request.supply = cu::telematic::Supply(header.storedSupplyLetter);
    request.replaced = {text("protocol-id", {}), text("protocol-number", {})};
    request.employeeRecord = text("record", {});
    // The archive's commitment, which the run uses wherever the archive states one.
    request.commitment = {text("commitment-type", header.commitmentType),
                          text("commitment-date", header.commitmentDate)};
    request.outputFolder = text("out-dir", shared.installation.dataDirectory);
    request.outputName = text("out-name", cu::telematic::telematicFileName(opening.number));

    cu::telematic::RunProgress runProgress;
    runProgress.advanced = [&progress](std::int64_t done, double total) {
        progress.show(static_cast<double>(done), total);
    };
    const cu::telematic::RunResult result = cu::telematic::run(workplace, request, runProgress);
    switch (result.outcome) {
    case cu::telematic::RunOutcome::Reported:
        out << result.telematicHostPath << '\n' << result.reportHostPath << '\n' << result.batchHostPath << '\n';
        return 0;
    case cu::telematic::RunOutcome::Completed:
        out << result.telematicHostPath << '\n';
        // A report that was asked for and could not be written is a failure of the command,
        // told apart from a run that stored nothing: the telematic file is there.
        return arguments.flag("report") ? kStoredWithoutReport : 0;
    case cu::telematic::RunOutcome::Declined:
    case cu::telematic::RunOutcome::Stopped:
        break;
    }
    return 1;
}

} // namespace app::cli
