#include "app/cli.h"

#include "records/cp1252.h"
#include "records/host_paths.h"
#include "records/installation.h"

namespace app::cli {

const char* const kUsage = R"(telematico-cli: i lavori di telematico senza finestre.

Uso: telematico-cli COMANDO [opzioni]

Comandi:
  demo         scrive un'installazione dimostrativa in una cartella
  cu           crea il file telematico di una Certificazione Unica (come "FASE 3" di createl)
  uniemens     crea il file UniEmens di un mese per una o piu' ditte (come "Conferma" di inditta)
  anagrafiche  controlla codici fiscali, partite IVA e date delle anagrafiche
  verifica     controlla un file telematico CU o un file UniEmens prima dell'invio

  telematico-cli COMANDO --help   spiega le opzioni di un comando e i loro valori.

I messaggi vanno sullo standard error come "TITOLO: TESTO"; alle domande si risponde con
le opzioni; una domanda senza risposta vale No. Un'opzione con un valore si indica una volta
sola (solo --company di uniemens si ripete, una volta per ditta). La CARTELLA di --root deve
contenere un'installazione, cioe' il file c\disco.ute (demo a parte): altrimenti il comando
esce con 2 e non crea nulla.
Uscita: 0 lavoro riuscito, 1 dopo un messaggio di arresto o un errore, 2 opzioni errate o
nessuna installazione; 3 (solo cu --report) file telematico creato ma report non scritto.
)";

namespace {

struct Command {
    const char* name;
    const char* const* help;
    int (*run)(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
};

const Command kCommands[] = {
    {"demo", &kDemoHelp, demoCommand},
    {"cu", &kCuHelp, cuCommand},
    {"uniemens", &kUniemensHelp, uniemensCommand},
    {"anagrafiche", &kAnagraficheHelp, anagraficheCommand},
    {"verifica", &kVerificaHelp, verificaCommand},
};

// An argument as an error line can show it: malformed UTF-8 becomes "?".
std::string printable(std::string_view text)
{
    if (records::utf8ToCp1252Strict(text))
        return std::string(text);
    return records::cp1252ToUtf8(records::utf8ToCp1252(text));
}

} // namespace

std::string installationText(std::string_view option)
{
    return records::utf8ToCp1252Strict(option).value_or(std::string());
}

std::optional<std::filesystem::path> installationRoot(std::ostream& err, std::string_view command,
                                                      const std::string& rootOption)
{
    std::filesystem::path root = records::PathMapper::resolveRoot(rootOption);
    if (records::driveFileState(records::PathMapper(root)) == records::DriveFileState::Missing) {
        usageError(err, command, "nessuna installazione in " + printable(root.string()) + " (manca c\\disco.ute)");
        return std::nullopt;
    }
    return root;
}

int usageError(std::ostream& err, std::string_view command, std::string_view problem)
{
    err << "telematico-cli " << command << ": " << problem << "\n"
        << "vedere: telematico-cli " << command << " --help\n";
    return 2;
}

std::string Arguments::parse(const std::vector<std::string>& argv, std::size_t first,
                             const std::set<std::string>& flags, const std::set<std::string>& valued,
                             const std::set<std::string>& repeatable)
{
    for (std::size_t i = first; i < argv.size(); ++i) {
        const std::string& arg = argv[i];
        if (!arg.starts_with("--"))
            return "argomento inatteso: " + printable(arg);
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (flags.contains(name) && !inlineValue) {
            m_flags.insert(name);
        } else if (valued.contains(name)) {
            if (!inlineValue) {
                if (i + 1 >= argv.size())
                    return "manca il valore di --" + name;
                inlineValue = argv[++i];
            }
            // A malformed sequence is refused, never guessed at: an overlong C0 80 would
            // become a NUL that cuts a file name short, C0 AF a "/".
            std::size_t badOffset = 0;
            if (!records::utf8ToCp1252Strict(*inlineValue, &badOffset))
                return "il valore di --" + name + " non e' testo UTF-8 valido (byte " + std::to_string(badOffset + 1)
                    + ")";
            if (!repeatable.contains(name) && value(name))
                return "l'opzione --" + name + " e' indicata piu' volte";
            m_values.emplace_back(name, *inlineValue);
        } else {
            return "opzione sconosciuta: --" + printable(name);
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
    if (argv.size() < 2) {
        err << kUsage;
        return 2;
    }
    const std::string& name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        out << kUsage;
        return 0;
    }
    for (const Command& command : kCommands) {
        if (name != command.name)
            continue;
        for (std::size_t i = 2; i < argv.size(); ++i) {
            if (argv[i] == "--help" || argv[i] == "-h") {
                out << *command.help;
                return 0;
            }
        }
        return command.run(argv, out, err);
    }
    err << "telematico-cli: comando sconosciuto: " << printable(name) << "\nvedere: telematico-cli --help\n";
    return 2;
}

} // namespace app::cli
