#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/cli.h"
#include "app/shared_values.h"
#include "app/ui_common.h"
#include "cu/createl.h"

namespace {

const char* const kUsage
    = "Uso: telematico [--root CARTELLA] [--window NOME]\n"
      "  --root CARTELLA  cartella dell'installazione (una sottocartella per unità: c, d, ...);\n"
      "                   in mancanza la variabile TELEMATICO_ROOT, poi ~/.local/share/telematico\n"
      "  --window NOME    finestra da aprire all'avvio (createl, la selezione della CU)\n";

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

    std::vector<std::string> arguments;
    for (const QString& argument : QApplication::arguments())
        arguments.push_back(argument.toStdString());
    app::cli::Arguments options;
    if (const std::string error = options.parse(arguments, 1, {"help"}, {"root", "window"}); !error.empty()) {
        std::cerr << "telematico: " << error << "\n" << kUsage;
        return 2;
    }
    if (options.flag("help")) {
        std::cout << kUsage;
        return 0;
    }
    const std::string windowName = options.value("window").value_or("createl");
    if (windowName != "createl") {
        if (windowName == "inditta" || windowName == "fDitta" || windowName == "Parteb1")
            std::cerr << "telematico: la finestra " << windowName << " non è ancora disponibile\n";
        else
            std::cerr << "telematico: finestra sconosciuta: " << windowName << " (finestre: createl, inditta, fDitta, Parteb1)\n";
        return 2;
    }

    const std::filesystem::path root = records::PathMapper::resolveRoot(options.value("root"));
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
