#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/cli.h"
#include "demo/demo_installation.h"
#include "demo/record_builders.h"
#include "payroll/company_record.h"
#include "testing/temp_root.h"

using records::testing::TempRoot;

namespace {

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

struct CliUniemensTest : ::testing::Test {
    TempRoot root;
    std::ostringstream out, err;
    const std::filesystem::path xmlFolder = root.path() / "c/Program Files/INPS/INPS uniEmens individuale";

    void SetUp() override { demo::writeDemoInstallation(root.path()); }

    int uniemens(std::vector<std::string> options)
    {
        out.str({});
        err.str({});
        std::vector<std::string> argv = {"telematico-cli", "uniemens", "--root", root.path().string()};
        argv.insert(argv.end(), options.begin(), options.end());
        return app::cli::main(argv, out, err);
    }

    bool xmlFolderEmpty() const { return std::filesystem::is_empty(xmlFolder); }
};

} // namespace

TEST_F(CliUniemensTest, TwoCompaniesGoIntoOneFileNamedAfterTheFirst)
{
    ASSERT_EQ(uniemens({"--month", "3", "--company", "001", "--company", "2"}), 0) << err.str();
    EXPECT_EQ(out.str(), (xmlFolder / "fc0010316.xml").string() + "\n");
    EXPECT_EQ(occurrences(err.str(), "Memorizzazione regolarmente effettuata\n"), 2u);
    EXPECT_NE(err.str().find("Fine lavoro: Inserisci altra Ditta ? [Si]\n"), std::string::npos);
    EXPECT_NE(err.str().find("Fine lavoro: Inserisci altra Ditta ? [No]\n"), std::string::npos);
    EXPECT_NE(err.str().find("Fine lavoro: Vuoi proseguire con il controllo del file ? [No]\n"), std::string::npos);
    const std::string xml = TempRoot::readFile(xmlFolder / "fc0010316.xml");
    EXPECT_EQ(occurrences(xml, "<DatiMittente"), 1u);
    EXPECT_EQ(occurrences(xml, "<Azienda>"), 2u);
    EXPECT_EQ(occurrences(xml, "<DenunciaIndividuale>"), 6u); // three and three employees in use
    EXPECT_TRUE(xml.ends_with("</Azienda>\r\n</DenunceMensili>\r\n"));

    ASSERT_EQ(uniemens({"--month", "03", "--company", "005", "--check"}), 0) << err.str();
    EXPECT_EQ(out.str(), (xmlFolder / "uea0050316.xml").string() + "\n");
    EXPECT_NE(err.str().find("Vuoi proseguire con il controllo del file ? [Si]\n"), std::string::npos);
}

TEST_F(CliUniemensTest, NothingIsWrittenUnlessEveryCompanyCanBeDeclared)
{
    EXPECT_EQ(uniemens({"--month", "3", "--company", "001", "--company", "009"}), 1);
    EXPECT_EQ(err.str(), "uniemens: nessun file predisposto per la ditta 009 nel mese 3 dell'anno 2016\n");
    EXPECT_EQ(uniemens({"--month", "3", "--company", "001", "--company", "1"}), 1);
    EXPECT_EQ(err.str(), "uniemens: la ditta 001 e' indicata piu' volte\n");
    EXPECT_EQ(uniemens({"--month", "4", "--company", "001"}), 1);

    payroll::CompanyHeaderFields h;
    h[1] = "009";
    h[12] = "7";
    root.write("c/nolv/paghe/una00903.016", payroll::packCompanyHeader(h));
    EXPECT_EQ(uniemens({"--month", "3", "--company", "009", "--company", "001"}), 1);
    EXPECT_NE(err.str().find("la ditta 009 non ha un tipo di denuncia valido"), std::string::npos);
    EXPECT_EQ(out.str(), "");
    EXPECT_TRUE(xmlFolderEmpty());

    EXPECT_EQ(uniemens({"--month", "13", "--company", "001"}), 2);
    EXPECT_EQ(uniemens({"--month", "3"}), 2);
}

// Every company is checked before anything is written: listed under its own name for the
// month, of the first company's kind, holding the company its data file is named after.
TEST_F(CliUniemensTest, EveryCompanyIsCheckedBeforeAnythingIsWritten)
{
    payroll::CompanyHeaderFields h;
    h[1] = "009";
    h[12] = "7";
    root.write("c/nolv/paghe/una00903.016", payroll::packCompanyHeader(h));
    const std::string otherKind = " ha una denuncia di altro tipo rispetto alla ditta ";
    const std::string filePart = ": va inviata in un file a parte\n";
    struct Case {
        std::vector<std::string> companies;
        std::string message;
    };
    const Case cases[] = {
        {{"001", "005"}, "uniemens: la ditta 005" + otherKind + "001" + filePart},
        {{"005", "002", "001"}, "uniemens: la ditta 002" + otherKind + "005" + filePart},
        {{"002", "009"}, "uniemens: la ditta 009" + otherKind + "002" + filePart},
    };
    for (const Case& c : cases) {
        std::vector<std::string> options = {"--month", "3"};
        for (const std::string& code : c.companies)
            options.insert(options.end(), {"--company", code});
        EXPECT_EQ(uniemens(options), 1) << c.message;
        EXPECT_EQ(err.str(), c.message);
        EXPECT_EQ(out.str(), "");
        EXPECT_TRUE(xmlFolderEmpty()) << c.message;
    }
}

// The data file is the one named after the company: a header that names another company
// is refused before anything is written, and never stands in for that company.
TEST_F(CliUniemensTest, ADataFileIsChosenByItsNameAndMustHoldThatCompany)
{
    const std::string header = TempRoot::readFile(root.path() / "c/nolv/paghe/una00203.016");
    root.write("c/nolv/paghe/una00103.016", header);

    const std::string refusal
        = "uniemens: il file C:\\nolv\\paghe\\una00103.016 della ditta 001 contiene la ditta 002\n";
    EXPECT_EQ(uniemens({"--month", "3", "--company", "001"}), 1);
    EXPECT_EQ(err.str(), refusal);
    EXPECT_EQ(uniemens({"--month", "3", "--company", "002", "--company", "001"}), 1);
    EXPECT_EQ(err.str(), refusal);
    EXPECT_TRUE(xmlFolderEmpty());

    ASSERT_EQ(uniemens({"--month", "3", "--company", "002"}), 0) << err.str();
    EXPECT_EQ(out.str(), (xmlFolder / "fp0020316.xml").string() + "\n");
    const std::string xml = TempRoot::readFile(xmlFolder / "fp0020316.xml");
    EXPECT_EQ(occurrences(xml, "<Azienda>"), 1u);
    EXPECT_EQ(occurrences(xml, "<RagSocAzienda>PANIFICIO ESPOSITO DI G. ESPOSITO"), 1u);
    EXPECT_FALSE(std::filesystem::exists(xmlFolder / "fc0010316.xml"));

    // A header that cannot be read is named before anything is written.
    root.write("c/nolv/paghe/una00203.016", header.substr(0, 500));
    EXPECT_EQ(uniemens({"--month", "3", "--company", "005", "--company", "002"}), 1);
    EXPECT_TRUE(err.str().starts_with("Errore di lettura tipo ")) << err.str();
    EXPECT_TRUE(
        err.str().ends_with("uniemens: il file C:\\nolv\\paghe\\una00203.016 della ditta 002 non si puo' leggere\n"))
        << err.str();
    EXPECT_FALSE(std::filesystem::exists(xmlFolder / "uea0050316.xml"));
}
