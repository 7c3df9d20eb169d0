#include "app/cli.h"

namespace app::cli {

const char* const kUsage = R"(telematico-cli: i lavori di telematico senza finestre.

Uso:
  telematico-cli --help
  telematico-cli demo --root DIR [--force]
      Scrive in DIR un'installazione dimostrativa (file unita', archivi CU, file anno,
      dati UniEmens di un mese, tabella comuni). Una cartella non vuota viene rifiutata;
      con --force vi si riscrivono i file dimostrativi.
  telematico-cli cu --root DIR --archive N [--supply N|A|S|T] [--protocol-id TESTO]
      [--protocol-number TESTO] [--record TESTO] [--commitment-type TESTO]
      [--commitment-date TESTO] [--out-dir TESTO] [--out-name TESTO] [--report] [--yes]
      Crea il file telematico della CU N, come il tasto "FASE 3" della finestra, e ne
      stampa il percorso; con --report scrive anche il report e il file batch e ne stampa
      i percorsi. --yes conferma l'annullamento o la sostituzione del dipendente.
  telematico-cli uniemens --root DIR --month M --company CCC [--company CCC ...] [--check]
      Crea il file UniEmens del mese M (1..12) con le ditte indicate, nell'ordine, come il
      tasto "Conferma" della finestra "Selezione Ditta", e ne stampa il percorso. Ogni ditta
      deve avere i dati predisposti per il mese e comparire una volta sola; altrimenti non si
      scrive nulla. Con --check si risponde Si al controllo del file.

I messaggi vanno sullo standard error come "TITOLO: TESTO"; alle domande si risponde con
le opzioni (--report, --yes, --check); una domanda senza risposta vale No.
Uscita 0 a lavoro riuscito, 1 dopo un messaggio di arresto, 2 per opzioni errate.
)";

std::string Arguments::parse(const std::vector<std::string>& argv, std::size_t first,
                             const std::set<std::string>& flags, const std::set<std::string>& valued)
{
    for (std::size_t i = first; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (!arg.starts_with("--"))
            return "argomento inatteso: " + arg;
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (flags.contains(name) && !inlineValue) {
            m_flags.insert(name);
        } else if (valued.contains(name)) {
            if (inlineValue) {
                m_values.emplace_back(name, *inlineValue);
            } else {
                if (i + 1 >= argv.size())
                    return "manca il valore di --" + name;
                m_values.emplace_back(name, argv[++i]);
            }
        } else {
            return "opzione sconosciuta: --" + name;
        }
    }
    return {};
}

std::optional<std::string> Arguments::value(const std::string& name) const
{
    std::optional<std::string> result;
    for (const auto& [key, text] : m_values) {
        if (key == name)
            result = text;
    }
    return result;
}

std::vector<std::string> Arguments::values(const std::string& name) const
{
    std::vector<std::string> result;
    for (const auto& [key, text] : m_values) {
        if (key == name)
            result.push_back(text);
    }
    return result;
}

int main(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    if (argv.size() < 2 || argv[1] == "--help" || argv[1] == "-h" || argv[1] == "help") {
        (argv.size() < 2 ? err : out) << kUsage;
        return argv.size() < 2 ? 2 : 0;
    }
    const std::string& command = argv[1];
    if (command == "demo")
        return demoCommand(argv, out, err);
    if (command == "cu")
        return cuCommand(argv, out, err);
    if (command == "uniemens")
        return uniemensCommand(argv, out, err);
    err << "comando sconosciuto: " << command << "\n\n" << kUsage;
    return 2;
}

} // namespace app::cli
