#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/cli.h"
#include "records/text.h"
#include "testing/temp_root.h"

using records::fitRight;
using records::testing::TempRoot;

namespace {

// A company record of 800 characters: kind (field 1), fiscal code (3), birth date (5) and
// VAT number (8) in their places, the other fields blank.
std::string company(char status, const std::string& kind, const std::string& code, const std::string& date,
                    const std::string& vat)
{
    return fitRight(std::string(1, status) + kind + fitRight("NOME", 34) + fitRight(code, 16) + "M" + fitRight(date, 8)
                        + std::string(48, ' ') + fitRight(vat, 11),
                    800);
}

std::string employee(char status, const std::string& code)
{
    return fitRight(std::string(1, status) + code, 2000);
}

struct CliAnagraficheTest : ::testing::Test {
    TempRoot root;
    std::ostringstream out, err;

    void SetUp() override { root.write("c/disco.ute", "C:        "); }
    int run()
    {
        return app::cli::main({"telematico-cli", "anagrafiche", "--root", root.path().string()}, out, err);
    }
    void writeCompany(int n, const std::string& record, const std::string& year = "016")
    {
        const std::string number = std::to_string(n);
        root.write("c/nolv/nv770/2016/dati/" + number + "/dittg" + number + "." + year, record);
    }
};

} // namespace

TEST_F(CliAnagraficheTest, PrintsEveryFailedCheckInFileRecordAndFieldOrder)
{
    root.write("c/WNOLV/anno1.dat", "2016      ");
    writeCompany(12, company('$', "2", "0", "29022016", "12345678909"));
    writeCompany(1, company('$', "0", "RSSMRA85T10A562T", "29021900", "07643520567"));
    writeCompany(2, company(' ', "0", "RSSMRA85T10A562T", "", ""));
    writeCompany(3, company('$', "1", "07643520560", "", "0"));
    writeCompany(7, company('$', "1", "07643520567", "", "07643520567"));
    writeCompany(8, company('$', "1", "07643520560", "", ""), "015");
    root.write("c/nolv/paghe/UNB00103.016", employee('$', "BNCLRA90C52F205S") + std::string(2000, '\0')
                                                + employee('$', "rssmra85t10a562s"));
    root.write("c/nolv/paghe/unb49912.016", employee('$', "RSSMRA85 10A562S"));
    root.write("c/nolv/paghe/unb50001.016", employee('$', "XXX"));
    root.write("c/nolv/paghe/unb00103.015", employee('$', "XXX"));

    EXPECT_EQ(run(), 1);
    EXPECT_EQ(out.str(),
              "C:\\nolv\\nv770\\2016\\dati\\\\1\\dittg1.016 record 1 campo 3: Codice errato: il cin e'   S\n"
              "C:\\nolv\\nv770\\2016\\dati\\\\1\\dittg1.016 record 1 campo 5: La data inserita e' errata\n"
              "C:\\nolv\\nv770\\2016\\dati\\\\3\\dittg3.016 record 1 campo 3: Codice errato: il cin e'    7\n"
              "C:\\nolv\\nv770\\2016\\dati\\\\12\\dittg12.016 record 1 campo 8: Codice errato: il cin e'    3\n"
              "C:\\nolv\\paghe\\unb00103.016 record 3 campo 1: Codice FORMALMENTE errato\n"
              "C:\\nolv\\paghe\\unb49912.016 record 1 campo 1: Codice FORMALMENTE errato\n"
              "Controllate 7 anagrafiche, 6 errori\n");
    EXPECT_EQ(err.str(), "");
}

TEST_F(CliAnagraficheTest, AnInstallationWithoutRegistersPassesAndOnlyTheYearFileIsWritten)
{
    std::filesystem::create_directories(root.path() / "c/wnolv");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(out.str(), "Controllate 0 anagrafiche, 0 errori\n");
    EXPECT_EQ(root.read("c/wnolv/anno1.dat"), "2015      ");

    // A company of the year 2015 is found once the year file says so.
    writeCompany(4, company('$', "1", "07643520560", "", ""), "015");
    out.str({});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(out.str(), "C:\\nolv\\nv770\\2016\\dati\\\\4\\dittg4.015 record 1 campo 3: Codice errato: il cin e'    7\n"
                         "Controllate 1 anagrafiche, 1 errori\n");
}

TEST_F(CliAnagraficheTest, WrongOptionsExitWith2)
{
    EXPECT_EQ(app::cli::main({"telematico-cli", "anagrafiche"}, out, err), 2);
    EXPECT_EQ(app::cli::main({"telematico-cli", "anagrafiche", "--root", root.path().string(), "--yes"}, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(app::cli::main({"telematico-cli", "anagrafiche", "--help"}, out, err), 0);
    EXPECT_NE(out.str().find("Uso: telematico-cli anagrafiche --root CARTELLA"), std::string::npos);
}

TEST_F(CliAnagraficheTest, AYearThatCannotBeReadIsNoSuccess)
{
    // No folder for the year file: its messages, nothing checked, and exit status 1.
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(out.str(), "Controllate 0 anagrafiche, 0 errori\n");
    EXPECT_EQ(err.str().rfind("Errore tipo  76 nella creazione del file ", 0), 0u) << err.str();
}
