#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

#include "app/cli.h"
#include "demo/demo_installation.h"
#include "cu/telematic/tests/telematic_test_support.h"
#include "testing/temp_root.h"
#include "records/text.h"

using cu::telematic::testing::recordTypes;
using cu::telematic::testing::splitRecords;
using records::testing::TempRoot;

namespace {

struct CliCuTest : ::testing::Test {
    TempRoot root;
    std::ostringstream out, err;
    const std::filesystem::path data = root.path() / "c/nolv/nv770/2016/dati";

    void SetUp() override { demo::writeDemoInstallation(root.path()); }

    int cu(std::vector<std::string> options)
    {
        out.str({});
        err.str({});
        std::vector<std::string> argv = {"telematico-cli", "cu", "--root", root.path().string()};
        argv.insert(argv.end(), options.begin(), options.end());
        return app::cli::main(argv, out, err);
    }
};

// Every record is 1900 bytes with "A" CR LF, and record Z counts the records B, C, D, G
// that the file holds.
void expectConsistentFile(const std::string& file)
{
    const auto records = splitRecords(file);
    ASSERT_GE(records.size(), 3u);
    const std::string types = recordTypes(records);
    EXPECT_EQ(types.front(), 'A');
    EXPECT_EQ(types.back(), 'Z');
    const std::string& z = records.back();
    int expected = 16;
    for (char type : {'B', 'C', 'D', 'G'}) {
        const auto count = std::count(types.begin(), types.end(), type);
        EXPECT_EQ(z.substr(static_cast<std::size_t>(expected - 1), 9), records::padLeft(std::to_string(count), 9, '0'))
            << "count of records " << type;
        expected += 9;
    }
}

} // namespace

TEST_F(CliCuTest, AnOrdinaryRunPrintsThePathOfACompleteFile)
{
    ASSERT_EQ(cu({"--archive", "1"}), 0) << err.str();
    EXPECT_EQ(out.str(), (data / "TCU117").string() + "\n");
    EXPECT_NE(err.str().find("Creazione Telematico: Memorizazione regolarmente effettuata...\n"), std::string::npos);
    const std::string file = TempRoot::readFile(data / "TCU117");
    expectConsistentFile(file);
    EXPECT_EQ(recordTypes(splitRecords(file)), "ABCDGDGDGDGZ"); // four employees in use of five records
}

TEST_F(CliCuTest, AStopExitsWith1WithTheMessageAndNoFile)
{
    EXPECT_EQ(cu({"--archive", "2"}), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("Accesso: Manca la data dell'impegno alla trasmissione \n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(data / "TCU217"));

    ASSERT_EQ(cu({"--archive", "2", "--commitment-type", "1", "--commitment-date", "01032017"}), 0) << err.str();
    expectConsistentFile(TempRoot::readFile(data / "TCU217"));

    EXPECT_EQ(cu({"--archive", "9"}), 1);
    EXPECT_EQ(err.str(), "Accesso: Archivio inesistente \n");
}

TEST_F(CliCuTest, ProtocolAndCommitmentDataAreCheckedAsInTheWindow)
{
    const struct {
        std::vector<std::string> options;
        const char* told;
    } cases[] = {
        {{"--archive", "7", "--supply", "A", "--protocol-id", "abc", "--protocol-number", "xyz", "--record", "2"},
         "Accesso: Il numero Identificativo Entratel deve avere 17 cifre \n"},
        {{"--archive", "7", "--supply", "S", "--protocol-id", "17030612345678901", "--protocol-number", "123",
          "--record", "2"},
         "Accesso: Il numero di Protocollo Sostituz/Annullamento deve avere 6 cifre \n"},
        {{"--archive", "2", "--commitment-type", "7", "--commitment-date", "31022017"},
         "Accesso: La data dell'impegno alla trasmissione e' errata \n"},
        {{"--archive", "2", "--commitment-type", "7", "--commitment-date", "28022017"},
         "Accesso: La tipologia dell'impegno alla trasmissione deve essere 1 o 2 \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        std::vector<std::string> options = c.options;
        options.push_back("--yes");
        EXPECT_EQ(cu(options), 1);
        EXPECT_EQ(err.str(), c.told);
        EXPECT_EQ(out.str(), "");
        EXPECT_FALSE(std::filesystem::exists(data / ("TCU" + c.options[1] + "17")));
    }
}

TEST_F(CliCuTest, AnAnnulmentNeedsTheConfirmation)
{
    const std::vector<std::string> annulment = {"--archive", "7", "--supply", "A", "--protocol-id", "17030612345678901",
                                                "--protocol-number", "000123", "--record", "2"};
    EXPECT_EQ(cu(annulment), 1);
    EXPECT_NE(err.str().find("Confermi la funzione di Annul/Sostit. del dipendente "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(data / "TCU717"));

    std::vector<std::string> confirmed = annulment;
    confirmed.push_back("--yes");
    ASSERT_EQ(cu(confirmed), 0) << err.str();
    const std::string file = TempRoot::readFile(data / "TCU717");
    expectConsistentFile(file);
    EXPECT_EQ(recordTypes(splitRecords(file)), "ABDZ");
}

TEST_F(CliCuTest, WithReportTheReportAndBatchPathsFollow)
{
    ASSERT_EQ(cu({"--archive", "7", "--report", "--out-dir", "C:\\nolv\\", "--out-name", "cu.tel"}), 0) << err.str();
    EXPECT_EQ(out.str(), (root.path() / "c/nolv/cu.tel").string() + "\n" + (data / "report.txt").string() + "\n"
                             + (root.path() / "c/nolv/nv770/2016/avstp.bat").string() + "\n");
    EXPECT_TRUE(TempRoot::readFile(data / "report.txt").starts_with("   CERTIFICAZIONE UNICA"));
    EXPECT_EQ(cu({"--archive", "7", "--supply", "X"}), 2);
    EXPECT_EQ(cu({"--supply", "N"}), 2);
}

// The built program, as a script would call it, with no display at all.
TEST(CliCuProgram, RunsOnTheDemoInstallation)
{
    TempRoot root;
    const std::string program = TELEMATICO_CLI;
    const std::string rootArg = "'" + root.path().string() + "'";
    ASSERT_EQ(std::system((program + " demo --root " + rootArg + " --force > /dev/null 2>&1").c_str()), 0);
    FILE* pipe = ::popen((program + " cu --root " + rootArg + " --archive 1 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string printed;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        printed += buffer;
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto file = root.path() / "c/nolv/nv770/2016/dati/TCU117";
    EXPECT_EQ(printed, file.string() + "\n");
    expectConsistentFile(TempRoot::readFile(file));

    pipe = ::popen((program + " cu --root " + rootArg + " --archive 2 2>&1 >/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    printed.clear();
    while (std::fgets(buffer, sizeof buffer, pipe))
        printed += buffer;
    const int stopped = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(stopped) && WEXITSTATUS(stopped) == 1);
    EXPECT_EQ(printed, "Accesso: Manca la data dell'impegno alla trasmissione \n");
}
