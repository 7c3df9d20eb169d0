#include <atomic>
#include <cerrno>
#include <cstring>
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

Stampa una riga per ogni rilievo, nell'ordine del file, man mano che lo legge:
  BLOCCANTE|AVVISO record R posizione P [elemento CODICE] [persona CF NOME]: MESSAGGIO   (CU)
  BLOCCANTE|AVVISO riga L elemento PERCORSO [persona CF NOME]: MESSAGGIO                 (UniEmens)
poi quello che solo il file intero dice (i record che mancano, le certificazioni che
conta il record B), e in fondo "Verificato FILE: N bloccanti, M avvisi". Un rilievo
dentro la certificazione o la denuncia di una persona ne indica il codice fiscale e il
nome. BLOCCANTE solo dove
lo scarto e' certo: il tracciato del formato e le regole dell'ente di cui si conosce il
codice; AVVISO per il resto, e il messaggio dice su che cosa si basa (altri programmi,
come lo scrive questo programma). L'ultima parola resta al software di controllo
dell'Agenzia delle Entrate o dell'INPS. Una dichiarazione del tipo di documento (DOCTYPE)
di un file XML non si legge: e' un avviso, le sue entita' non si espandono e il resto del
file si controlla senza; un tag oltre 64 KB, un testo o un commento oltre 1 MB o elementi
annidati oltre 100 livelli fermano la verifica con un rilievo bloccante.

  FILE     percorso del file sul computer (non nella notazione dell'installazione)
  --json   un solo oggetto JSON con gli stessi rilievi invece delle righe

Uscita:
  0  nessun rilievo bloccante: il file e' pronto per l'invio;
  1  almeno un rilievo bloccante;
  2  il file non si puo' verificare: non esiste, non si puo' leggere, non e' un file (una
     cartella, una pipe, un dispositivo: non si aspetta che qualcuno ci scriva) o non e' di
     un tipo noto; oppure il risultato non si puo' scrivere (disco pieno, uscita chiusa):
     le righe o il JSON scritti fin li' non sono la verifica intera; oppure opzioni errate.
)";

namespace {

// Writes the findings as the check gives them, as lines or as one JSON object, and counts
// them. When the output cannot be written (a full disk, a closed pipe) the check is asked
// to stop: its result would be lost.
class Report : public check::FindingSink {
public:
    Report(std::ostream& out, std::string file, bool json, std::atomic<bool>& stop)
        : m_out(out)
        , m_file(std::move(file))
        , m_json(json)
        , m_stop(stop)
    {
    }

    void started(check::FileKind kind) override
    {
        m_kind = kind;
        if (m_json)
            write(check::jsonStart(m_file, kind));
    }

    void found(check::Finding finding) override
    {
        (finding.level == check::Level::Blocking ? m_blocking : m_warnings) += 1;
        write(m_json ? check::jsonFinding(finding, m_kind, m_findings == 0)
                     : records::cp1252ToUtf8(check::findingLine(finding, m_kind)) + '\n');
        ++m_findings;
    }

    // The end: the verdict line, or the close of the JSON object, which stays one object
    // even when the file could not be read to its end.
    void end(bool whole)
    {
        if (m_json)
            write(check::jsonEnd(m_findings > 0, m_blocking, m_warnings));
        else if (whole)
            write(check::summaryLine(m_file, m_blocking, m_warnings) + '\n');
        errno = 0;
        if (!m_failed && !m_out.flush())
            failed();
    }

    bool written() const { return !m_failed; }
    int error() const { return m_error; }
    long long blocking() const { return m_blocking; }

private:
    void write(const std::string& text)
    {
        if (m_failed)
            return;
        errno = 0; // what the stream's write leaves there, if anything, says why it failed
        m_out << text;
        if (!m_out)
            failed();
    }
    void failed()
    {
        m_error = errno;
        m_failed = true;
        m_stop = true;
    }

    std::ostream& m_out;
    std::string m_file;
    bool m_json;
    std::atomic<bool>& m_stop;
    check::FileKind m_kind = check::FileKind::Unknown;
    long long m_findings = 0;
    long long m_blocking = 0;
    long long m_warnings = 0;
    bool m_failed = false;
    int m_error = 0;
};

} // namespace

// "telematico-cli verifica FILE [--json]": the check before sending, on the command line.
// The findings are written as the check reads the file, so that memory stays the same
// whatever it holds.
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

    std::atomic<bool> stop{false};
    Report report(out, shownName, arguments.flag("json"), stop);
    check::CheckOptions checkOptions;
    checkOptions.today = check::today();
    check::CheckProgress progress;
    progress.cancel = &stop;
    const check::FileCheckResult result = check::checkFile(file, report, checkOptions, progress);
    if (result.kind != check::FileKind::Unknown)
        report.end(result.error.empty());
    if (!report.written()) {
        err << "verifica: " << shownName << ": il risultato non si puo' scrivere"
            << (report.error() != 0 ? std::string(" (") + std::strerror(report.error()) + ")" : std::string()) << "\n";
        return 2;
    }
    if (!result.error.empty()) {
        err << "verifica: " << shownName << ": " << result.error << "\n";
        return 2;
    }
    return report.blocking() == 0 ? 0 : 1;
}

} // namespace app::cli
