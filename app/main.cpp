#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/cli.h"
#include "app/first_start.h"
#include "app/process_signals.h"
#include "app/program_values.h"
#include "app/windows.h"
#include "records/cu_edition.h"
#include "ui/ui_common.h"
#include "ui/window_list.h"

namespace {

const char* const kUsage
    = "Uso: telematico [--root CARTELLA] [--window NOME]\n"
      "  --root CARTELLA  cartella dell'installazione (una sottocartella per unità: c, d, ...);\n"
      "                   in mancanza la variabile TELEMATICO_ROOT, poi ~/.local/share/telematico\n"
      "  --window NOME    finestra da aprire all'avvio: createl (la selezione della CU, in mancanza),\n"
      "                   inditta, fDitta, Parteb1\n";

} // namespace

int main(int argc, char** argv)
{
    app::prepareProcess();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telematico"));
    QApplication::setOrganizationName(QStringLiteral("telematico"));
    QGuiApplication::setDesktopFileName(QStringLiteral("telematico"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/createl/icons/cu.png")));
    QApplication::setApplicationVersion(QString::fromLatin1(records::kProgramVersion));

    // The payroll offices work in Italian: message-box buttons read "Sì" and "No".
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    // The arguments as the system gave them (QApplication has taken out its own): a
    // malformed UTF-8 sequence is refused by the parser instead of being replaced unseen.
    const std::vector<std::string> arguments(argv, argv + argc);
    app::cli::Arguments options;
    if (const std::string error = options.parse(arguments, 1, {"help"}, {"root", "window"}); !error.empty()) {
        std::cerr << "telematico: " << error << "\n" << kUsage;
        return 2;
    }
    if (options.flag("help")) {
        std::cout << kUsage;
        return 0;
    }
    // An installation named by --root or TELEMATICO_ROOT is used as it is; otherwise the one
    // chosen at the first start, else the user's own folder.
    const char* environmentRoot = std::getenv("TELEMATICO_ROOT");
    const bool rootNamed = (options.value("root") && !options.value("root")->empty())
        || (environmentRoot && *environmentRoot);
    std::filesystem::path root = records::PathMapper::resolveRoot(options.value("root"));
    if (!rootNamed) {
        if (const auto remembered = app::rememberedRoot())
            root = *remembered;
    }
    ui::QtPrompter prompter;
    ui::QtLauncher launcher(prompter);
    app::ProgramValues values(root);
    ui::WindowList windows;
    app::addProgramWindows(windows, values.workplace(prompter, launcher));

    const QString windowName = QString::fromStdString(options.value("window").value_or("createl"));
    const ui::WindowList::Entry* window = windows.find(windowName);
    if (!window) {
        QStringList names;
        for (const ui::WindowList::Entry& entry : windows.entries())
            names << entry.name;
        std::cerr << "telematico: finestra sconosciuta: " << windowName.toStdString() << " (finestre: "
                  << names.join(QStringLiteral(", ")).toStdString() << ")\n";
        return 2;
    }
    if (!window->open) {
        std::cerr << "telematico: la finestra " << windowName.toStdString() << " non è ancora disponibile\n";
        return 2;
    }
    if (app::needsFirstStart(root)) {
        app::FirstStartDialog firstStart(root);
        if (firstStart.exec() != QDialog::Accepted)
            return 0;
        root = firstStart.root();
        if (!rootNamed)
            app::rememberRoot(root);
        values.paths = records::PathMapper(root);
    }
    std::error_code error;
    std::filesystem::create_directories(root / "c", error);
    if (error) {
        std::cerr << "telematico: impossibile creare la cartella " << (root / "c").string() << ": " << error.message()
                  << "\n";
        return 1;
    }

    // The drive prefix and the data directory come from createl's load step: it is the first
    // window of every start, and another window named here opens over it.
    if (windowName != QStringLiteral("createl"))
        windows.open(QStringLiteral("createl"));
    window->open();
    return QApplication::exec();
}
