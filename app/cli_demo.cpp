#include "app/cli.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "demo/demo_installation.h"

namespace app::cli {

// The help names the year of the demo's data.
constexpr records::FixedText kDemoHelpText = records::joinTexts(
    R"(Uso: telematico-cli demo --root CARTELLA [--force]

Scrive in CARTELLA un'installazione dimostrativa di un piccolo studio paghe: file unita'
(c\disco.ute), tre archivi CU dell'anno )",
    demo::kDemoYear,
    R"(, file dell'anno, dati UniEmens di marzo )",
    demo::kDemoYear,
    R"(
(ditte 001, 002, 005) e di aprile )",
    demo::kDemoYear,
    R"( (ditte 003, 004, 005, 006), tabella dei comuni. Poi
stampa il percorso della cartella.

  --root CARTELLA  dove scrivere; viene creata se manca.
  --force          scrive i file dimostrativi anche in una cartella non vuota (i file con
                   lo stesso nome vengono sostituiti, gli altri restano).

Uscita: 0 installazione scritta; 1 cartella non vuota senza --force, o file non scrivibile;
2 opzioni errate.
)");
const char* const kDemoHelp = kDemoHelpText.c_str();

// "telematico-cli demo --root DIR [--force]": writes the demo installation into DIR. A
// folder that already holds something is left alone unless --force says that the demo
// files may be written over it, so that a real installation is never overwritten by a slip.
int demoCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    namespace fs = std::filesystem;
    Arguments arguments;
    if (const std::string error = arguments.parse(argv, 2, {"force"}, {"root"}); !error.empty()) {
        return usageError(err, "demo", error);
    }
    const std::optional<std::string> rootText = arguments.value("root");
    if (!rootText || rootText->empty()) {
        return usageError(err, "demo", "manca --root CARTELLA");
    }

    const fs::path root(*rootText);
    std::error_code ec;
    const fs::file_status status = fs::status(root, ec);
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) {
            err << "demo: " << root.string() << " esiste e non e' una cartella\n";
            return 1;
        }
        const bool empty = fs::is_empty(root, ec);
        if (ec) {
            err << "demo: impossibile leggere la cartella " << root.string() << ": " << ec.message() << "\n";
            return 1;
        }
        if (!empty && !arguments.flag("force")) {
            err << "demo: la cartella " << root.string()
                << " non e' vuota; con --force vi si riscrivono i file dell'installazione dimostrativa\n";
            return 1;
        }
    }

    try {
        fs::create_directories(root);
        demo::writeDemoInstallation(root);
    } catch (const std::exception& error) {
        err << "demo: " << error.what() << "\n";
        return 1;
    }
    out << fs::absolute(root).lexically_normal().string() << "\n";
    return 0;
}

} // namespace app::cli
