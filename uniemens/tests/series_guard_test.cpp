// Series among other series: two clerks declaring into one XML file, and the file of a series
// that was killed.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "records/output_file.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "uniemens/series.h"
#include "uniemens/tests/uniemens_test_support.h"

using namespace uniemens;
using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using uniemens::testing::addEmployeeCompany;
using uniemens::testing::parsedTexts;
namespace fs = std::filesystem;

namespace {

constexpr const char* kStored = "Memorizzazione regolarmente effettuata";
constexpr const char* kFileName = "C:\\Program Files\\INPS\\INPS uniEmens individuale\\fp0010316.xml";

std::string dataFile(const char* code)
{
    return std::string("C:\\nolv\\paghe\\una") + code + "03.016";
}

// One clerk's program.
struct Clerk {
    explicit Clerk(const fs::path& root)
        : shared(root)
    {
        shared.installation.drivePrefix = "C:";
        shared.installation.workingYear = "2016";
    }

    records::testing::InstallationValues shared;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    Series series{shared.workplace(prompter, launcher)};
};

struct SeriesGuardTest : ::testing::Test {
    uniemens::testing::Installation installation;

    void SetUp() override
    {
        addEmployeeCompany(installation, "001", "FP", 1, "ROSSI SRL");
        addEmployeeCompany(installation, "002", "FP", 2, "BIANCHI SPA");
    }
    std::vector<std::string> folder() const
    {
        std::vector<std::string> names = installation.xmlFolderNames();
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

// One clerk declares company 001 alone, another chains 001 and 002 into the same file. Both
// start at once and stay open, as the window stays open on "Inserisci altra Ditta ?", until
// both have added their first company: the one that holds the file goes on and stores it, the
// other is told the file is in use and stores nothing. Never both "memorizzato" with a
// company missing.
TEST_F(SeriesGuardTest, TwoSeriesOfOneFileNeverBothStoreIt)
{
    const std::vector<std::vector<const char*>> chains = {{"001"}, {"001", "002"}};
    const std::vector<std::vector<std::string>> declared = {{"ROSSI SRL"}, {"ROSSI SRL", "BIANCHI SPA"}};
    int wins[2] = {0, 0};
    int refused = 0;
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        fs::remove(installation.xmlFile("fp0010316.xml"));
        Clerk clerks[2] = {Clerk(installation.root.path()), Clerk(installation.root.path())};
        SeriesResult first[2];
        SeriesResult last[2];
        std::latch start(2);
        std::latch asked(2);
        const auto declare = [&](int k) {
            Series& series = clerks[k].series;
            series.open(3);
            start.arrive_and_wait();
            first[k] = series.add(dataFile(chains[k][0]));
            asked.arrive_and_wait();
            if (first[k].outcome != SeriesOutcome::Added)
                return;
            for (std::size_t c = 1; c < chains[k].size(); ++c)
                series.add(dataFile(chains[k][c]));
            last[k] = series.store();
        };
        std::thread other(declare, 1);
        declare(0);
        other.join();

        const int winner = first[0].outcome == SeriesOutcome::Added ? 0 : 1;
        const int loser = 1 - winner;
        ++wins[winner];
        EXPECT_EQ(last[winner].outcome, SeriesOutcome::Stored);
        EXPECT_EQ(first[loser].outcome, SeriesOutcome::Stopped);
        ASSERT_EQ(clerks[loser].prompter.shown.size(), 1u);
        const ScriptedPrompter::Shown& told = clerks[loser].prompter.last();
        EXPECT_TRUE(told.text.starts_with(std::string("Il file ") + kFileName + " e' in uso da ")) << told.text;
        EXPECT_EQ(told.title, "Accesso");
        EXPECT_EQ(told.icon, records::Icon::Stop);
        refused += told.text.find(" e' in uso da ") != std::string::npos ? 1 : 0;
        EXPECT_FALSE(clerks[loser].series.isOpen());
        EXPECT_EQ(clerks[winner].prompter.texts().back(), "Il file :" + std::string(kFileName) + " e' stato memorizzato");
        EXPECT_EQ(parsedTexts(installation.readXml("fp0010316.xml"), "RagSocAzienda"), declared[winner]);
        EXPECT_EQ(folder(), std::vector<std::string>{"fp0010316.xml"});
    }
    std::cout << "two series of one file, 100 rounds: stored by the clerk of 001 " << wins[0]
              << " times, by the clerk of 001 and 002 " << wins[1] << " times; the other series refused as in use "
              << refused << " times\n";
}

// A series killed while writing (or a computer that stopped) left its temporary file; the
// next series that starts a file in the folder removes it and says so, but never the file of
// a series still being written, from this program or another.
TEST_F(SeriesGuardTest, TheFileOfAKilledSeriesIsRemovedWhenTheNextOneStarts)
{
    const char* killed = "~fp0010316.xml.Xy12Zw.tmp";
    installation.root.write(std::string(uniemens::testing::kXmlFolder) + "/" + killed, "<DenunceMensili>\r\n<Dati");
    records::OutputFile beingWritten;
    ASSERT_EQ(beingWritten.create(installation.xmlFile("uea0050316.xml")), 0);

    Clerk clerk(installation.root.path());
    clerk.series.open(3);
    ASSERT_EQ(clerk.series.add(dataFile("001")).outcome, SeriesOutcome::Added);
    ASSERT_EQ(clerk.prompter.shown.size(), 2u);
    EXPECT_EQ(clerk.prompter.shown[0].text,
              "Rimosso il file temporaneo " + std::string(killed) + " lasciato da un'elaborazione interrotta ");
    EXPECT_EQ(clerk.prompter.shown[0].icon, records::Icon::Information);
    EXPECT_EQ(clerk.prompter.shown[1].text, kStored);
    EXPECT_FALSE(fs::exists(installation.xmlFile(killed)));
    EXPECT_TRUE(fs::exists(beingWritten.temporaryPath()));
    ASSERT_EQ(clerk.series.store().outcome, SeriesOutcome::Stored);
    beingWritten.discard();
    EXPECT_EQ(folder(), std::vector<std::string>{"fp0010316.xml"});
}
