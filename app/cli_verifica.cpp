#include <ostream>

#include "app/cli.h"
#include "check/file_check.h"
#include "check/finding.h"
#include "check/report.h"
#include "records/cp1252.h"

namespace app::cli {

const char* const kVerificaHelp = R"(Uso: telematico-cli verifica FILE [--json]

Controlla un file prima dell'invio, secondo i formati come li conosce questo programma, e
dice in chiaro che cosa non va, dove, di chi, e se blocca l'invio. Il tipo di file si
riconosce dal contenuto:
  - file telematico della CU 2017 (record di 1900 byte, il primo e' il record A):
    record e loro ordine, conteggi dei record B e Z, progressivi delle certificazioni,
    campi posizionali, codici e valori degli elementi dei record C, D e G, intestazione
    dei record H;
  - file UniEmens (XML con l'elemento DenunceMensili): XML ben formato nella sua codifica,
    ordine e annidamento degli elementi, codici fiscali, date, importi, giorni e settimane
    del mese, settimane coperte contro giorni retribuiti e lavorati (errori INPS 02560E,
    02570E, 02580E, 07780E), numero delle denunce individuali e totale a debito.
Il file non viene mai modificato.

Stampa una riga per ogni rilievo, nell'ordine del file:
  BLOCCANTE|AVVISO record R posizione P [elemento CODICE] [persona CF NOME]: MESSAGGIO   (CU)
  BLOCCANTE|AVVISO riga L elemento PERCORSO [persona CF NOME]: MESSAGGIO                 (UniEmens)
e in fondo "Verificato FILE: N bloccanti, M avvisi". Un rilievo dentro la certificazione o
la denuncia di una persona ne indica il codice fiscale e il nome. BLOCCANTE solo dove
lo scarto e' certo: il tracciato del formato e le regole dell'ente di cui si conosce il
codice; AVVISO per il resto, e il messaggio dice su che cosa si basa (altri programmi,
come lo scrive questo programma). L'ultima parola resta al software di controllo
dell'Agenzia delle Entrate o dell'INPS.

  FILE     percorso del file sul computer (non nella notazione dell'installazione)
  --json   un solo oggetto JSON con gli stessi rilievi invece delle righe

Uscita: 0 nessun rilievo bloccante (il file e' pronto per l'invio); 1 almeno un rilievo
bloccante; 2 file illeggibile o di tipo sconosciuto, o opzioni errate.
)";

// "telematico-cli verifica FILE [--json]": the check before sending, on the command line.
// The findings are gathered and printed in the order of the file, since a few (the counts of
// record B) are known only at its end.
int verificaCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> options(argv.begin(), argv.begin() + std::min<std::size_t>(argv.size(), 2));
    std::string file;
    bool fileGiven = false;
    for (std::size_t i = 2; i < argv.size(); ++i) {
        if (argv[i].starts_with("--")) {
            options.push_back(argv[i]);
            continue;
        }
        if (fileGiven)
            return usageError(err, "verifica", "un solo FILE alla volta");
        file = argv[i];
        fileGiven = true;
    }
    Arguments arguments;
    if (const std::string error = arguments.parse(options, 2, {"json"}, {}); !error.empty())
        return usageError(err, "verifica", error);
    if (!fileGiven || file.empty())
        return usageError(err, "verifica", "manca il FILE da verificare");
    // The name as given; only malformed UTF-8 is shown otherwise, so that it never reaches
    // the output (nor breaks the JSON).
    const std::string shownName = records::utf8ToCp1252Strict(file) ? file
                                                                      : records::cp1252ToUtf8(records::utf8ToCp1252(file));

    check::FindingList findings;
    check::CheckOptions checkOptions;
    checkOptions.today = check::today();
    const check::FileCheckResult result = check::checkFile(file, findings, checkOptions);
    if (!result.error.empty()) {
        err << "verifica: " << shownName << ": " << result.error << "\n";
        return 2;
    }
    findings.sortByPlace();
    if (arguments.flag("json")) {
        out << check::jsonReport(shownName, result.kind, findings.findings(), findings.blocking(), findings.warnings());
    } else {
        for (const check::Finding& finding : findings.findings())
            out << records::cp1252ToUtf8(check::findingLine(finding, result.kind)) << '\n';
        out << check::summaryLine(shownName, findings.blocking(), findings.warnings()) << '\n';
    }
    out.flush();
    return findings.blocking() == 0 ? 0 : 1;
}

} // namespace app::cli
