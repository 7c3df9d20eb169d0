#include <gtest/gtest.h>

#include <sstream>

#include "app/cli.h"
#include "app/console_prompter.h"

using app::ConsolePrompter;

TEST(Cli, HelpNamesEveryCommand)
{
    std::ostringstream out, err;
    EXPECT_EQ(app::cli::main({"telematico-cli", "--help"}, out, err), 0);
    EXPECT_NE(out.str().find("telematico-cli cu --root DIR --archive N"), std::string::npos);
    EXPECT_NE(out.str().find("telematico-cli demo --root DIR"), std::string::npos);
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
