#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include "app/shared_values.h"
#include "app/ui_common.h"
#include "cu/createl.h"

namespace {

const char* const kUsage
    = "Uso: telematico [--root CARTELLA] [--window NOME]\n"
      "  --root CARTELLA  cartella dell'installazione (una sottocartella per unità: c, d, ...);\n"
      "                   in mancanza la variabile TELEMATICO_ROOT, poi ~/.local/share/telematico\n"
      "  --window NOME    finestra da aprire all'avvio (createl, la selezione della CU)\n";

struct Options {
    std::optional<std::string> root;
    std::string window = "createl";
};

// Reads "--root DIR", "--root=DIR", "--window NAME", "--window=NAME". Returns an error text,
// empty when the command line is well formed; "help" when the usage was asked for.
std::string parseOptions(const QStringList& arguments, Options& options)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const std::string argument = arguments[i].toStdString();
        if (argument == "--help" || argument == "-h")
            return "help";
        std::string name = argument;
        std::optional<std::string> value;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        }
        if (name != "--root" && name != "--window")
            return "opzione sconosciuta: " + argument;
        if (!value) {
            if (i + 1 >= arguments.size())
                return "manca il valore di " + name;
            value = arguments[++i].toStdString();
        }
        if (name == "--root")
            options.root = *value;
        else
            options.window = *value;
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telematico"));
    QApplication::setApplicationVersion(QStringLiteral("17.30"));

    // The payroll offices work in Italian: message-box buttons read "Sì" and "No".
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    Options options;
    if (const std::string error = parseOptions(QApplication::arguments(), options); !error.empty()) {
        if (error == "help") {
            std::cout << kUsage;
            return 0;
        }
        std::cerr << "telematico: " << error << "\n" << kUsage;
        return 2;
    }
    if (options.window != "createl") {
        if (options.window == "inditta" || options.window == "fDitta" || options.window == "Parteb1")
            std::cerr << "telematico: la finestra " << options.window << " non è ancora disponibile\n";
        else
            std::cerr << "telematico: finestra sconosciuta: " << options.window
                      << " (finestre: createl, inditta, fDitta, Parteb1)\n";
        return 2;
    }

    const std::filesystem::path root = records::PathMapper::resolveRoot(options.root);
    std::error_code error;
    std::filesystem::create_directories(root / "c", error);
    if (error) {
        std::cerr << "telematico: impossibile creare la cartella " << (root / "c").string() << ": " << error.message()
                  << "\n";
        return 1;
    }

    app::QtPrompter prompter;
    app::QtLauncher launcher(prompter);
    app::SharedValues shared(root, prompter, launcher);

    auto* window = new cu::createl(shared.cuEnvironment());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return QApplication::exec();
}
