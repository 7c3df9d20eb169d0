#include "app/cli.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <optional>

#include "app/console_prompter.h"
#include "cu/createl_form.h"
#include "records/channels.h"
#include "records/cp1252.h"
#include "records/file_chooser.h"
#include "records/host_paths.h"
#include "records/shared_values.h"
#include "records/text.h"
#include "uniemens/inditta_form.h"

namespace app::cli {

const char* const kUniemensHelp = R"(Uso: telematico-cli uniemens --root CARTELLA --month M --company DDD [--company DDD ...] [--check]

Crea il file UniEmens del mese M con le ditte indicate, nell'ordine, come "Conferma" della
finestra "Selezione Ditta" (inditta): la prima ditta apre il file, le altre vi si aggiungono
(alla domanda "Inserisci altra Ditta ?" si risponde Si finche' restano ditte). Il file va
nella cartella del programma di controllo INPS con il nome della prima ditta
(ueaDDDMMAA.xml, o fp.../fc... secondo la composizione); ne stampa il percorso.

  --root CARTELLA  cartella dell'installazione (una sottocartella per unita': c, d...)
  --month M        mese della denuncia, da 1 (gennaio) a 12 (dicembre); l'anno e' quello di
                   lavoro (file WNOLV\anno1.dat)
  --company DDD    codice della ditta, 3 cifre (1 e 01 valgono 001): deve avere i dati del
                   mese predisposti (paghe\unaDDDMM.AAA) ed essere indicata una volta sola;
                   tutte le ditte di un file sono dello stesso tipo della prima (dipendenti
                   o collaboratori)
  --check          risponde Si a "Vuoi proseguire con il controllo del file ?" (senza desktop
                   il programma di controllo non viene avviato)

Prima di scrivere si controlla ogni ditta: che sia nell'elenco del mese, indicata una volta
sola, che il suo file dati (unaDDDMM.AAA, scelto dal nome) contenga proprio la ditta DDD e
che la denuncia sia dello stesso tipo di quella della prima ditta; altrimenti non si scrive
nulla.
Uscita: 0 file memorizzato; 1 ditta non trovata, ripetuta, di altro tipo o con il file dati
di un'altra ditta, tipo di denuncia non valido o messaggio di arresto, nessun file;
2 opzioni errate, o CARTELLA senza installazione (manca c\disco.ute).
)";

namespace {

// "1" and "01" name company "001", as the list shows it.
std::string companyCode(const std::string& option)
{
    const std::string code = installationText(option);
    const bool digits = !code.empty() && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && code.size() < 3 ? records::padLeft(code, 3, '0') : code;
}

} // namespace

int uniemensCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    Arguments arguments;
    if (const std::string error = arguments.parse(argv, 2, {"check"}, {"root", "month", "company"}, {"company"});
        !error.empty()) {
        return usageError(err, "uniemens", error);
    }
    const auto root = arguments.value("root");
    const auto monthText = arguments.value("month");
    std::vector<std::string> codes;
    for (const std::string& option : arguments.values("company"))
        codes.push_back(companyCode(option));
    int month = 0;
    if (monthText && !monthText->empty() && monthText->size() <= 2
        && std::all_of(monthText->begin(), monthText->end(), [](char c) { return c >= '0' && c <= '9'; }))
        month = std::stoi(*monthText);
    if (!root || root->empty() || month < 1 || month > 12 || codes.empty()) {
        return usageError(err, "uniemens", "servono --root CARTELLA, --month M (1..12) e almeno una --company DDD");
    }

    const auto installation = installationRoot(err, "uniemens", *root);
    if (!installation)
        return 2;
    ConsolePrompter console(err);
    if (arguments.flag("check"))
        console.answerYes(records::Question::ContinueWithCheck);
    ConsoleLauncher launcher(err);
    records::NoFileChooser chooser;
    records::SharedValues shared(*installation);

    // The createl window loads first and reads the drive of the installation.
    cu::CreatelForm({shared, console, launcher}).load();

    uniemens::IndittaForm form({shared, console, launcher}, chooser);
    // How far the records of each company have been read, on the terminal only.
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    std::optional<TerminalProgress> progress;
    console.beforeLine = [&progress] {
        if (progress)
            progress->endLine();
    };
    form.advanced = [&progress](double done, double total) {
        if (progress)
            progress->show(done, total);
    };
    form.Form_Load();
    form.combo1_Click(month - 1);

    // Nothing is written unless every company can be declared: each listed for the month in
    // a data file named after it and holding it, given once, all of the first company's kind.
    std::optional<uniemens::IndittaForm::Heading> first;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const std::string code = records::cp1252ToUtf8(codes[k]);
        if (std::find(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(k), codes[k]) != codes.begin() + static_cast<std::ptrdiff_t>(k)) {
            err << "uniemens: la ditta " << code << " e' indicata piu' volte\n";
            return 1;
        }
        const int item = form.findCompany(codes[k]);
        if (item < 0) {
            err << "uniemens: nessun file predisposto per la ditta " << code << " nel mese " << month << " dell'anno "
                << records::cp1252ToUtf8(shared.installation.workingYear) << "\n";
            return 1;
        }
        const std::string dataFile = records::cp1252ToUtf8(form.dataFiles[static_cast<std::size_t>(item)]);
        const std::optional<uniemens::IndittaForm::Heading> heading = form.headingOf(item);
        if (!heading) {
            err << "uniemens: il file " << dataFile << " della ditta " << code << " non si puo' leggere\n";
            return 1;
        }
        if (heading->code != codes[k]) {
            err << "uniemens: il file " << dataFile << " della ditta " << code << " contiene la ditta "
                << records::cp1252ToUtf8(heading->code) << "\n";
            return 1;
        }
        if (!first) {
            if (heading->kind != 0 && heading->kind != 1) {
                err << "uniemens: la ditta " << code
                    << " non ha un tipo di denuncia valido (0 dipendenti, 1 collaboratori)\n";
                return 1;
            }
            first = heading;
        } else if (heading->kind != first->kind) {
            err << "uniemens: la ditta " << code << " ha una denuncia di altro tipo rispetto alla ditta "
                << records::cp1252ToUtf8(codes.front()) << ": va inviata in un file a parte\n";
            return 1;
        }
    }

    for (std::size_t k = 0; k < codes.size(); ++k) {
        const int item = form.findCompany(codes[k]);
        if (item < 0) {
            err << "uniemens: la ditta " << records::cp1252ToUtf8(codes[k]) << " non e' piu' nell'elenco\n";
            form.abandonSeries();
            return 1;
        }
        form.indit_Click(item);
        form.Option1_Click();
        progress.emplace(err, terminal, "Ditta " + records::cp1252ToUtf8(codes[k]) + ", record letti");
        // "Inserisci altra Ditta ?": Yes while companies remain to be declared.
        console.setAnswer(records::Question::AnotherCompany, k + 1 < codes.size());
        switch (form.Command1_Click()) {
        case uniemens::ConfirmOutcome::CompanyAdded:
            continue;
        case uniemens::ConfirmOutcome::FileStored:
            out << form.storedHostPath() << '\n';
            return 0;
        case uniemens::ConfirmOutcome::UnknownKind:
            err << "uniemens: la ditta " << records::cp1252ToUtf8(codes[k])
                << " non ha un tipo di denuncia valido (0 dipendenti, 1 collaboratori)\n";
            break;
        case uniemens::ConfirmOutcome::NoCompany:
        case uniemens::ConfirmOutcome::Stopped:
        case uniemens::ConfirmOutcome::Refused:
        case uniemens::ConfirmOutcome::EditRequested:
            break;
        }
        break;
    }
    form.abandonSeries();
    return 1;
}

} // namespace app::cli
