#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "app/cli.h"
#include "app/console_prompter.h"
#include "cu/telematic/questions.h"
#include "registers/questions.h"
#include "uniemens/questions.h"
#include "testing/temp_root.h"

using app::ConsolePrompter;
using records::testing::TempRoot;

TEST(Cli, HelpNamesEveryCommandAndEachCommandExplainsItsValues)
{
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "--help"}, out, err), 0);
    EXPECT_NE(out.str().find("  demo "), std::string::npos);
    EXPECT_NE(out.str().find("  cu "), std::string::npos);

    struct Case {
        std::vector<std::string> argv;
        std::vector<std::string> told; // what the help must explain
    };
    const Case cases[] = {
        {{"telematico-cli", "cu", "--help"}, {"Uso: telematico-cli cu --root", "GGMMAAAA", "N normale", "A annullamento", "S sostituzione", "T normale", "Uscita: 0", "; 3 con --report: file telematico creato"}},
        {{"telematico-cli", "cu", "--root", "x", "-h"}, {"Uso: telematico-cli cu --root"}},
        {{"telematico-cli", "demo", "-h"}, {"Uso: telematico-cli demo --root", "--force", "Uscita: 0"}},
    };
    for (const Case& c : cases) {
        std::ostringstream helpOut, helpErr;
        EXPECT_EQ(app::cli::main(c.argv, helpOut, helpErr), 0) << c.argv[1];
        for (const std::string& text : c.told)
            EXPECT_NE(helpOut.str().find(text), std::string::npos) << c.argv[1] << ": " << text;
        EXPECT_TRUE(helpErr.str().empty());
    }
}

TEST(Cli, AWrongOptionIsOneLineAndWhereTheHelpIs)
{
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "cu", "--root", "x", "--archivio", "1"}, out, err), 2);
    EXPECT_EQ(err.str(), "telematico-cli cu: opzione sconosciuta: --archivio\nvedere: telematico-cli cu --help\n");
    std::ostringstream out2, err2;
    EXPECT_EQ(app::cli::main({"telematico-cli", "cu", "--root", "x", "--archive", "1", "--supply", "X"}, out2, err2), 2);
    EXPECT_EQ(err2.str(), "telematico-cli cu: --supply vale N, A, S o T\nvedere: telematico-cli cu --help\n");
}

TEST(Cli, UnknownCommandsAndOptionsExitWith2)
{
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli"}, out, err), 2);
    EXPECT_EQ(app::cli::main({"telematico-cli", "frobnicate"}, out, err), 2);
    app::cli::Arguments arguments;
    EXPECT_EQ(arguments.parse({"x", "y", "--nope"}, 2, {"yes"}, {"root"}), "opzione sconosciuta: --nope");
    EXPECT_EQ(arguments.parse({"x", "y", "--root"}, 2, {"yes"}, {"root"}), "manca il valore di --root");
}

TEST(Cli, OnlyARepeatableOptionTakesMoreThanOneValue)
{
    app::cli::Arguments arguments;
    ASSERT_EQ(arguments.parse({"x", "y", "--company", "001", "--yes", "--company=002", "--yes"}, 2, {"yes"},
                              {"company", "root"}, {"company"}),
              "");
    EXPECT_EQ(arguments.values("company"), (std::vector<std::string>{"001", "002"}));
    EXPECT_TRUE(arguments.flag("yes"));
    EXPECT_FALSE(arguments.value("root"));

    app::cli::Arguments twice;
    EXPECT_EQ(twice.parse({"x", "y", "--root", "a", "--company", "1", "--root=b"}, 2, {}, {"company", "root"},
                          {"company"}),
              "l'opzione --root e' indicata piu' volte");
}

// Every command refuses a second value of an option instead of taking the last one, and
// touches nothing.
TEST(Cli, AnOptionGivenTwiceIsAUsageErrorInEveryCommand)
{
    TempRoot base;
    base.write("c/disco.ute", "C:        ");
    const std::string root = base.path().string();
    const std::string other = (base.path() / "altra").string();
    const struct {
        std::vector<std::string> argv;
        const char* option;
    } cases[] = {
        {{"cu", "--root", root, "--archive", "1", "--root", other}, "root"},
        {{"cu", "--root", root, "--archive", "1", "--archive=2"}, "archive"},
        {{"cu", "--root", root, "--archive", "7", "--supply", "A", "--supply", "S"}, "supply"},
        {{"cu", "--root", root, "--archive", "1", "--out-name", "a", "--out-name", "b"}, "out-name"},
        {{"cu", "--root", root, "--archive", "1", "--commitment-date", "1", "--commitment-date", "2"},
         "commitment-date"},
        {{"uniemens", "--root", root, "--month", "3", "--month", "4", "--company", "001"}, "month"},
        {{"uniemens", "--root", other, "--root", root, "--month", "3", "--company", "001"}, "root"},
        {{"anagrafiche", "--root", root, "--root", root}, "root"},
        {{"demo", "--root", other, "--root", other}, "root"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv[0] + " " + c.option);
        std::vector<std::string> argv = {"telematico-cli"};
        argv.insert(argv.end(), c.argv.begin(), c.argv.end());
        std::ostringstream out, err;
        EXPECT_EQ(app::cli::main(argv, out, err), 2);
        EXPECT_EQ(err.str(), "telematico-cli " + c.argv[0] + ": l'opzione --" + c.option + " e' indicata piu' volte\n"
                                 + "vedere: telematico-cli " + c.argv[0] + " --help\n");
        EXPECT_EQ(out.str(), "");
        EXPECT_FALSE(std::filesystem::exists(base.path() / "altra"));
        EXPECT_FALSE(std::filesystem::exists(base.path() / "c/wnolv"));
    }
}

// A folder without the drive file is no installation: every command that works on one
// stops before it creates anything, the folder itself included.
TEST(Cli, ARootWithoutTheDriveFileIsNoInstallation)
{
    namespace fs = std::filesystem;
    TempRoot base; // holds the drive folder "c" and nothing else
    base.write("c/nolv/paghe/una00103.016", "dati");
    const fs::path outside = base.path() / "fuori.ute";
    const struct {
        const char* what;
        fs::path root;
        std::function<void()> prepare;
    } roots[] = {
        {"missing", base.path() / "nuova", [] {}},
        {"no drive file", base.path(), [] {}},
        {"a folder of its name", base.path(), [&] { fs::create_directories(base.path() / "c/disco.ute"); }},
        {"a link to nothing", base.path(), [&] {
             fs::remove_all(base.path() / "c/disco.ute");
             fs::create_symlink(outside, base.path() / "c/disco.ute");
         }},
    };
    const std::vector<std::vector<std::string>> commands = {
        {"cu", "--archive", "1"},
        {"uniemens", "--month", "3", "--company", "001"},
        {"anagrafiche"},
    };
    for (const auto& root : roots) {
        root.prepare();
        std::vector<std::string> before;
        for (const auto& entry : fs::recursive_directory_iterator(base.path()))
            before.push_back(entry.path().string());
        for (const auto& command : commands) {
            SCOPED_TRACE(command[0] + ", " + root.what);
            std::vector<std::string> argv = {"telematico-cli", command[0], "--root", root.root.string()};
            argv.insert(argv.end(), command.begin() + 1, command.end());
            std::ostringstream out, err;
            EXPECT_EQ(app::cli::main(argv, out, err), 2);
            EXPECT_EQ(err.str(), "telematico-cli " + command[0] + ": nessuna installazione in " + root.root.string()
                                     + " (manca c\\disco.ute)\nvedere: telematico-cli " + command[0] + " --help\n");
            EXPECT_EQ(out.str(), "");
            std::vector<std::string> after;
            for (const auto& entry : fs::recursive_directory_iterator(base.path()))
                after.push_back(entry.path().string());
            EXPECT_EQ(after, before);
            EXPECT_FALSE(fs::exists(outside));
        }
    }

    // The drive file's name in another case is the drive file.
    fs::remove(base.path() / "c/disco.ute");
    base.write("c/DISCO.UTE", "C:        ");
    base.write("c/WNOLV/anno1.dat", "2016      ");
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "anagrafiche", "--root", base.path().string()}, out, err), 0)
        << err.str();
}

TEST(ConsolePrompter, WritesTitleAndTextOnOneLine)
{
    std::ostringstream err;
    ConsolePrompter prompter(err);
    prompter.message("Accesso", "Archivio inesistente ", records::Icon::Stop);
    prompter.message({}, "Errore tipo  53 nell'apertura", records::Icon::None);
    prompter.message({}, "Citt\xE0", records::Icon::None);
    EXPECT_EQ(err.str(), "Accesso: Archivio inesistente \nErrore tipo  53 nell'apertura\nCitt\xC3\xA0\n");
}

TEST(ConsolePrompter, UnansweredQuestionsAreNo)
{
    std::ostringstream err;
    ConsolePrompter prompter(err);
    prompter.answerYes(cu::telematic::kConfirmAnnulment);
    EXPECT_TRUE(prompter.askYesNo(cu::telematic::kConfirmAnnulment, {},
                                  "Confermi la funzione di Annul/Sostit. del dipendente ROSSI ?", records::Icon::None));
    EXPECT_FALSE(prompter.askYesNo(uniemens::kAnotherCompany, "Fine lavoro", "Inserisci altra Ditta ?",
                                   records::Icon::Question));
    EXPECT_NE(err.str().find("Fine lavoro: Inserisci altra Ditta ? [No]"), std::string::npos);
}

TEST(ConsolePrompter, UnansweredQuestionsWithAnnullaAreAnnulla)
{
    std::ostringstream err;
    ConsolePrompter prompter(err);
    EXPECT_EQ(prompter.askYesNoCancel(registers::kSaveEdits, "Modifica dei dati",
                                      "Salvare le modifiche al record ?", records::Icon::Question),
              records::Answer::Cancel);
    prompter.setChoice(registers::kSaveEdits, records::Answer::No);
    EXPECT_EQ(prompter.askYesNoCancel(registers::kSaveEdits, "Modifica dei dati",
                                      "Salvare le modifiche al record ?", records::Icon::Question),
              records::Answer::No);
    EXPECT_EQ(err.str(), "Modifica dei dati: Salvare le modifiche al record ? [Annulla]\n"
                         "Modifica dei dati: Salvare le modifiche al record ? [No]\n");
}
