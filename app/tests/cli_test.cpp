#include <gtest/gtest.h>

#include <sstream>

#include "app/cli.h"
#include "app/console_prompter.h"

using app::ConsolePrompter;

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
        {{"telematico-cli", "cu", "--help"}, {"Uso: telematico-cli cu --root", "GGMMAAAA", "N normale", "A annullamento", "S sostituzione", "T normale", "Uscita: 0"}},
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

TEST(Cli, ArgumentsKeepRepeatedValuesInOrder)
{
    app::cli::Arguments arguments;
    ASSERT_EQ(arguments.parse({"x", "y", "--company", "001", "--yes", "--company=002"}, 2, {"yes"}, {"company"}), "");
    EXPECT_EQ(arguments.values("company"), (std::vector<std::string>{"001", "002"}));
    EXPECT_EQ(arguments.value("company"), "002");
    EXPECT_TRUE(arguments.flag("yes"));
    EXPECT_FALSE(arguments.value("root"));
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
    prompter.answerYes(records::Question::ConfirmAnnulment);
    EXPECT_TRUE(prompter.askYesNo(records::Question::ConfirmAnnulment, {},
                                  "Confermi la funzione di Annul/Sostit. del dipendente ROSSI ?", records::Icon::None));
    EXPECT_FALSE(prompter.askYesNo(records::Question::AnotherCompany, "Fine lavoro", "Inserisci altra Ditta ?",
                                   records::Icon::Question));
    EXPECT_NE(err.str().find("Fine lavoro: Inserisci altra Ditta ? [No]"), std::string::npos);
}

TEST(ConsolePrompter, UnansweredQuestionsWithAnnullaAreAnnulla)
{
    std::ostringstream err;
    ConsolePrompter prompter(err);
    EXPECT_EQ(prompter.askYesNoCancel(records::Question::SaveEdits, "Modifica dei dati",
                                      "Salvare le modifiche al record ?", records::Icon::Question),
              records::Answer::Cancel);
    prompter.setChoice(records::Question::SaveEdits, records::Answer::No);
    EXPECT_EQ(prompter.askYesNoCancel(records::Question::SaveEdits, "Modifica dei dati",
                                      "Salvare le modifiche al record ?", records::Icon::Question),
              records::Answer::No);
    EXPECT_EQ(err.str(), "Modifica dei dati: Salvare le modifiche al record ? [Annulla]\n"
                         "Modifica dei dati: Salvare le modifiche al record ? [No]\n");
}
