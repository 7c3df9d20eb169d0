#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
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

TEST_F(CliAnagraficheTest, AYearThatIsNotFourDigitsChecksNothingAndSaysSo)
{
    namespace fs = std::filesystem;
    const std::string told = "anagrafiche: l'anno di lavoro del file C:\\WNOLV\\anno1.dat non e' di quattro cifre: "
                             "nessuna anagrafica controllata\n";
    writeCompany(1, company('$', "1", "07643520560", "", ""), "016");
    const struct {
        const char* what;
        std::string year; // the year file's bytes
        std::string messages; // of the year file, before the command's own line
    } cases[] = {
        {"NULs", std::string(10, '\0'), ""},
        {"letters", "2O16      ", ""},
        {"a blank", "016       ", ""},
        {"too short to read", "2016",
         "Errore di lettura tipo  62 nel file binario C:\\WNOLV\\anno1.dat al record  1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        root.write("c/WNOLV/anno1.dat", c.year);
        out.str({});
        err.str({});
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(err.str(), c.messages + told);
        EXPECT_EQ(root.read("c/WNOLV/anno1.dat"), c.year);
    }

    // No folder for the year file: its messages, then the command's.
    fs::remove_all(root.path() / "c/WNOLV");
    out.str({});
    err.str({});
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "Errore tipo  76 nella creazione del file \n"
                         "Errore tipo  76 nell'apertura del  file binarioC:\\WNOLV\\anno1.dat\n"
                         + told);
}

TEST_F(CliAnagraficheTest, AYearFileLeftAsALinkToNothingIsMadeInPlace)
{
    namespace fs = std::filesystem;
    const fs::path outside = root.path() / "altrove" / "anno1.dat";
    fs::create_directories(outside.parent_path());
    fs::create_directories(root.path() / "c/wnolv");
    fs::create_symlink(outside, root.path() / "c/wnolv/anno1.dat");
    EXPECT_EQ(run(), 0) << err.str();
    EXPECT_EQ(out.str(), "Controllate 0 anagrafiche, 0 errori\n");
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_EQ(root.read("c/wnolv/anno1.dat"), "2015      ");
}

TEST_F(CliAnagraficheTest, EveryRegisterFileThatCannotBeReadIsNamedAndCounted)
{
    namespace fs = std::filesystem;
    root.write("c/WNOLV/anno1.dat", "2016      ");
    const fs::path data = root.path() / "c/nolv/nv770/2016/dati";
    const fs::path outside = root.path() / "altrove" / "dittg2.016";
    fs::create_directories(outside.parent_path());
    writeCompany(1, company('$', "1", "07643520567", "", ""));
    fs::create_directories(data / "2");
    fs::create_symlink(outside, data / "2/dittg2.016");            // a link to nothing
    fs::create_directories(data / "3/dittg3.016");                 // a folder
    writeCompany(4, company('$', "1", "07643520567", "", "").substr(0, 799)); // one byte short
    root.write("c/nolv/paghe/unb00103.016", employee('$', "BNCLRA90C52F205S") + employee('$', "RSSMRA85T10A562S")
                                                + employee('$', "XXX").substr(0, 1999));
    ASSERT_EQ(::mkfifo((root.path() / "c/nolv/paghe/unb00104.016").c_str(), 0644), 0);
    fs::create_directories(root.path() / "c/nolv/paghe/unb00105.016");

    EXPECT_EQ(run(), 1);
    EXPECT_EQ(out.str(),
              "C:\\nolv\\nv770\\2016\\dati\\\\2\\dittg2.016: Errore tipo  53 nell'apertura del  file "
              "binarioC:\\nolv\\nv770\\2016\\dati\\\\2\\dittg2.016\n"
              "C:\\nolv\\nv770\\2016\\dati\\\\3\\dittg3.016: Errore tipo  75 nell'apertura del  file "
              "binarioC:\\nolv\\nv770\\2016\\dati\\\\3\\dittg3.016\n"
              "C:\\nolv\\nv770\\2016\\dati\\\\4\\dittg4.016: Errore di lettura tipo  62 nel file binario "
              "C:\\nolv\\nv770\\2016\\dati\\\\4\\dittg4.016 al record  1\n"
              "C:\\nolv\\paghe\\unb00103.016: Errore di lettura tipo  62 nel file binario "
              "C:\\nolv\\paghe\\unb00103.016 al record  3\n"
              "C:\\nolv\\paghe\\unb00104.016: Errore tipo  75 nell'apertura del  file "
              "binarioC:\\nolv\\paghe\\unb00104.016\n"
              "C:\\nolv\\paghe\\unb00105.016: Errore tipo  75 nell'apertura del  file "
              "binarioC:\\nolv\\paghe\\unb00105.016\n"
              "Controllate 3 anagrafiche, 6 errori\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(fs::exists(outside));
}
