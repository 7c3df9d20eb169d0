#include "app/cli.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <optional>

#include "app/console_prompter.h"
#include "app/program_values.h"
#include "records/cp1252.h"
#include "records/file_result.h"
#include "records/installation.h"
#include "records/text.h"
#include "uniemens/company_files.h"
#include "uniemens/programs.h"
#include "uniemens/questions.h"
#include "uniemens/series.h"

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
nulla. Mentre una serie scrive un file UniEmens, un'altra che vuole scrivere lo stesso file
si ferma con "Il file ... e' in uso da ...".
Uscita: 0 file memorizzato; 1 ditta non trovata, ripetuta, di altro tipo o con il file dati
di un'altra ditta, tipo di denuncia non valido o messaggio di arresto (anche file in uso),
nessun file; 2 opzioni errate, o CARTELLA senza installazione (manca c\disco.ute).
)";

namespace {

// "1" and "01" name company "001", as the list shows it.
std::string companyCode(const std::string& option)
{
    const std::string code = installationText(option);
    const bool digits = !code.empty() && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && code.size() < 3 ? records::padLeft(code, 3, '0') : code;
}

// The company of the month's list whose data file is named after `code`, or none.
const uniemens::ListedCompany* listedCompany(const std::vector<uniemens::ListedCompany>& listed, const std::string& code)
{
    const auto found = std::find_if(listed.begin(), listed.end(),
                                    [&](const uniemens::ListedCompany& company) { return company.code == code; });
    return found == listed.end() ? nullptr : &*found;
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
        console.answerYes(uniemens::kContinueWithCheck);
    ConsoleLauncher launcher(err);
    app::ProgramValues shared(*installation);
    const records::Workplace workplace = shared.workplace(console, launcher);

    // The drive of the installation and its working year, as the windows read them.
    records::showFailure(console, records::readDrive(shared.paths, shared.installation));
    records::showFailures(console, records::readWorkingYear(shared.paths, shared.installation));
    // The companies prepared for the month, as the window lists them.
    const std::vector<uniemens::ListedCompany> listed
        = uniemens::scanMonth(shared.paths, shared.installation.drivePrefix, shared.installation.workingYear, month);
    uniemens::showScanFailures(console, listed);

    // Nothing is written unless every company can be declared: each listed for the month in
    // a data file named after it and holding it, given once, all of the first company's kind.
    std::optional<uniemens::CompanyHeading> first;
    for (std::size_t k = 0; k < codes.size(); ++k) {
        const std::string code = records::cp1252ToUtf8(codes[k]);
        if (std::find(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(k), codes[k]) != codes.begin() + static_cast<std::ptrdiff_t>(k)) {
            err << "uniemens: la ditta " << code << " e' indicata piu' volte\n";
            return 1;
        }
        const uniemens::ListedCompany* company = listedCompany(listed, codes[k]);
        if (company == nullptr) {
            err << "uniemens: nessun file predisposto per la ditta " << code << " nel mese " << month << " dell'anno "
                << records::cp1252ToUtf8(shared.installation.workingYear) << "\n";
            return 1;
        }
        const std::string dataFile = records::cp1252ToUtf8(company->dataFile);
        // A header that the scan could not read is read once more, so that what stops it is
        // said again beside the refusal.
        const std::optional<uniemens::CompanyHeading> heading
            = company->heading ? company->heading : uniemens::readCompanyHeading(shared.paths, console, company->dataFile);
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
            if (heading->kind == uniemens::DeclarationKind::Other) {
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

    // How far the records of each company have been read, on the terminal only.
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    std::optional<TerminalProgress> progress;
    console.beforeLine = [&progress] {
        if (progress)
            progress->endLine();
    };
    uniemens::Series series(workplace);
    series.events.advanced = [&progress](double done, double total) {
        if (progress)
            progress->show(done, total);
    };
    series.open(month);
    for (std::size_t k = 0; k < codes.size(); ++k) {
        progress.emplace(err, terminal, "Ditta " + records::cp1252ToUtf8(codes[k]) + ", record letti");
        const uniemens::SeriesResult added = series.add(listedCompany(listed, codes[k])->dataFile);
        if (added.outcome == uniemens::SeriesOutcome::UnknownKind) {
            err << "uniemens: la ditta " << records::cp1252ToUtf8(codes[k])
                << " non ha un tipo di denuncia valido (0 dipendenti, 1 collaboratori)\n";
        }
        if (added.outcome != uniemens::SeriesOutcome::Added)
            break;
        // "Inserisci altra Ditta ?": Yes while companies remain to be declared.
        console.setAnswer(uniemens::kAnotherCompany, k + 1 < codes.size());
        if (uniemens::askForAnotherCompany(console))
            continue;
        const uniemens::SeriesResult stored = series.store();
        if (stored.outcome != uniemens::SeriesOutcome::Stored)
            break;
        if (uniemens::askToContinueWithCheck(console))
            uniemens::startCheckingProgram(workplace);
        out << stored.hostPath << '\n';
        return 0;
    }
    series.abandon();
    return 1;
}

} // namespace app::cli
