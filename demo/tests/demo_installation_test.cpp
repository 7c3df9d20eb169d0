#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

#include "cu/createl_form.h"
#include "demo/demo_installation.h"
#include "demo/record_builders.h"
#include "payroll/cu_archive.h"
#include "records/file_chooser.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/text.h"
#include "registers/tax_codes.h"
#include "testing/installation_values.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"
#include "uniemens/inditta_form.h"

using records::testing::RecordingLauncher;
using records::testing::ScriptedPrompter;
using records::testing::TempRoot;

namespace {

namespace fs = std::filesystem;

const char* const kDataFolder = "c/nolv/nv770/2016/dati/";
const int kArchives[] = {1, 2, 7};

std::vector<std::string> recordsOf(const std::string& bytes, std::size_t length)
{
    std::vector<std::string> result;
    for (std::size_t offset = 0; offset < bytes.size(); offset += length)
        result.push_back(bytes.substr(offset, length));
    return result;
}

std::string field(const std::string& record, std::size_t position, std::size_t length)
{
    return std::string(records::trim(records::mid(record, position, length)));
}

double value(std::string_view text)
{
    return records::numericValue(text);
}

// Birth data as the registers derive them from a fiscal code and the municipality table.
struct Birth {
    std::string date; // ddmmyyyy
    char sex;
    std::string municipality;
    std::string province;
};

std::optional<Birth> birthFromFiscalCode(const std::string& code, const std::vector<std::string>& municipalities)
{
    for (const std::string& record : municipalities) {
        if (record[0] != '$' || record.substr(1, 4) != code.substr(11, 4))
            continue;
        int day = std::stoi(code.substr(9, 2));
        char sex = 'M';
        if (day > 40) {
            day -= 40;
            sex = 'F';
        }
        const auto month = std::string_view("ABCDEHLMPRST").find(code[8]) + 1;
        const int yy = std::stoi(code.substr(6, 2));
        const int year = (yy > 9 ? 1900 : 2000) + yy;
        return Birth{records::padLeft(std::to_string(day), 2, '0') + records::padLeft(std::to_string(month), 2, '0')
                         + std::to_string(year),
                     sex, field(record, 11, 24), field(record, 35, 2)};
    }
    return std::nullopt;
}

struct DemoInstallationTest : ::testing::Test {
    TempRoot root;

    void SetUp() override { demo::writeDemoInstallation(root.path()); }

    std::vector<std::string> municipalityRecords() const
    {
        return recordsOf(root.read("c/tabcom/comuni.dat"), demo::kMunicipalityRecordLength);
    }
    std::string header(int archive) const
    {
        return root.read(kDataFolder + std::string("FCU") + std::to_string(archive) + ".017");
    }
    std::vector<std::string> employees(int archive) const
    {
        return recordsOf(root.read(kDataFolder + std::string("DCU") + std::to_string(archive) + ".017"),
                         payroll::kArchiveRecordLength);
    }
    // Unpacked records of every archive with their in-use marker.
    std::vector<std::pair<payroll::CuFields, char>> allCertifications() const
    {
        std::vector<std::pair<payroll::CuFields, char>> result;
        for (const int archive : kArchives) {
            for (const std::string& record : employees(archive)) {
                payroll::CuFields fields;
                payroll::unpackArchiveRecord(record, fields);
                result.emplace_back(fields, record[0]);
            }
        }
        return result;
    }
};

} // namespace

TEST_F(DemoInstallationTest, WritesEveryFileWithWholeRecordsWhereTheInstallationLooks)
{
    EXPECT_EQ(root.read("c/disco.ute"), "C:        ");
    EXPECT_EQ(root.read("c/WNOLV/anno1.dat"), "2016      ");

    const records::PathMapper paths(root.path());
    for (const demo::DemoFile& file : demo::demoInstallationFiles()) {
        const std::string bytes = TempRoot::readFile(paths.hostPath(file.path));
        EXPECT_EQ(bytes, file.bytes) << file.path;
        ASSERT_GT(file.recordLength, 0u);
        EXPECT_FALSE(bytes.empty()) << file.path;
        EXPECT_EQ(bytes.size() % file.recordLength, 0u) << file.path;
    }

    std::set<std::string> cuFiles;
    for (const auto& entry : fs::directory_iterator(root.path() / kDataFolder))
        cuFiles.insert(entry.path().filename().string());
    // Beside the CU files lie the company register (a folder per company) and its account list.
    EXPECT_EQ(cuFiles, (std::set<std::string>{"FCU1.017", "DCU1.017", "FCU2.017", "DCU2.017", "FCU7.017", "DCU7.017",
                                              "1", "2", "3", "4", "5", "7", "9", "pecog.dat"}));

    std::set<std::string> payrollFiles;
    for (const auto& entry : fs::directory_iterator(root.path() / "c/nolv/paghe"))
        payrollFiles.insert(entry.path().filename().string());
    EXPECT_EQ(payrollFiles, (std::set<std::string>{"una00103.016", "unb00103.016", "una00203.016", "unb00203.016",
                                                   "una00503.016", "unc00503.016", "una00304.016", "unb00304.016",
                                                   "una00404.016", "unb00404.016", "una00504.016", "unc00504.016",
                                                   "una00604.016", "unb00604.016", "unb00903.016"}));
    EXPECT_TRUE(fs::is_directory(root.path() / "c/Program Files/INPS/INPS uniEmens individuale"));
}

TEST_F(DemoInstallationTest, CreatelListsExactlyTheThreeArchives)
{
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    records::testing::InstallationValues shared(root.path());
    cu::CreatelForm form(shared.workplace(prompter, launcher));

    form.load();
    EXPECT_EQ(form.archiveItems, (std::vector<std::string>{"1 EDILIZIA ROSSI-COSTRUZIONI S.R.L.", "2 BIANCHI-MARIO",
                                                           "7 PANIFICIO ESPOSITO-DI G. ESPOSITO & C. SNC"}));
    EXPECT_EQ(form.archiveNumbers.size(), 3u);

    // The bar has not stated its commitment: the operator types it; the building firm has.
    form.openArchive("2");
    EXPECT_EQ(value(form.commitmentType.text), 0);
    EXPECT_EQ(value(form.commitmentDate.text), 0);
    form.openArchive("1");
    EXPECT_EQ(form.supplyLetter.text, "N");
    EXPECT_EQ(form.commitmentType.text, "2");
    EXPECT_EQ(form.commitmentDate.text, "27022017");
    EXPECT_TRUE(registers::isValidFiscalCode(form.intermediaryFiscalCode.text)) << form.intermediaryFiscalCode.text;
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front().text;
}

TEST_F(DemoInstallationTest, CuHeadersAgreeWithTheirArchives)
{
    int withRecordC = 0;
    int withoutCommitment = 0;
    for (const int archive : kArchives) {
        SCOPED_TRACE("archive " + std::to_string(archive));
        const std::vector<std::string> headerRecords = recordsOf(header(archive), demo::kCuHeaderRecordLength);
        ASSERT_EQ(headerRecords.size(), 2u);
        const std::string& first = headerRecords[0];
        const std::string& second = headerRecords[1];
        EXPECT_EQ(first.substr(0, 2), "$0");
        EXPECT_EQ(second[1], '1'); // employment income

        const std::vector<std::string> records = employees(archive);
        EXPECT_EQ(value(second.substr(2, 4)), static_cast<double>(records.size()));
        int certified = 0;
        for (const std::string& record : records)
            certified += record[0] == '$' && value(record.substr(66, 8)) != 0;
        EXPECT_EQ(value(field(first, 193, 4)), certified); // header field 14

        const std::string agent = field(first, 4, 16);
        if (first[2] == 'D') {
            EXPECT_TRUE(registers::isValidFiscalCode(agent)) << agent;
        } else {
            EXPECT_TRUE(registers::isValidVatNumber(agent)) << agent;
        }
        const std::string representative = field(first, 116, 16);
        if (!representative.empty()) {
            EXPECT_TRUE(registers::isValidFiscalCode(representative)) << representative;
        }

        const std::string supplierType = field(first, 205, 2);
        const std::string supplier = field(first, 207, 16);
        EXPECT_TRUE(registers::isValidFiscalCode(supplier) || registers::isValidVatNumber(supplier)) << supplier;
        EXPECT_TRUE(supplierType == "01" || supplierType == "10");
        if (supplierType == "01") {
            EXPECT_EQ(supplier, agent);
        }

        withRecordC += first[200] == 'X';
        if (value(first.substr(222, 1)) == 0 && value(first.substr(223, 8)) == 0) {
            ++withoutCommitment;
        } else {
            EXPECT_TRUE(value(first.substr(222, 1)) > 0 && value(first.substr(223, 8)) > 0);
        }
    }
    EXPECT_EQ(withRecordC, 1);
    EXPECT_EQ(withoutCommitment, 1);
}

TEST_F(DemoInstallationTest, EveryFiscalCodeMatchesItsBirthData)
{
    const std::vector<std::string> municipalities = municipalityRecords();
    std::set<std::string> codes;
    for (const std::string& record : municipalities) {
        ASSERT_EQ(record.size(), demo::kMunicipalityRecordLength);
        if (record[0] == '$') {
            EXPECT_TRUE(codes.insert(record.substr(1, 4)).second) << record.substr(1, 4);
        }
    }
    EXPECT_EQ(codes.size() + 1, municipalities.size()); // one row no longer in use

    int cancelled = 0;
    for (const auto& [cert, status] : allCertifications()) {
        const std::string code = cert.cu[1];
        SCOPED_TRACE(code);
        ASSERT_TRUE(registers::isValidFiscalCode(code));
        cancelled += status != '$';
        EXPECT_NE(value(cert.cu[5]), 0);

        const std::optional<Birth> birth = birthFromFiscalCode(code, municipalities);
        ASSERT_TRUE(birth);
        EXPECT_EQ(cert.cu[5], birth->date);
        EXPECT_EQ(cert.cu[4], std::string(1, birth->sex));
        EXPECT_EQ(records::trim(cert.cu[6]), birth->municipality);
        EXPECT_EQ(records::trim(cert.cu[7]), birth->province);
        EXPECT_TRUE(codes.contains(cert.cu[13]) && codes.contains(cert.cu[16])); // fiscal domicile

        // Dependants: spouse and children of quadro DB.
        for (const int entry : {296, 300, 308, 316, 324, 332, 340, 348}) {
            const std::string dependant(records::trim(cert.cu[static_cast<std::size_t>(entry)]));
            if (!dependant.empty()) {
                EXPECT_TRUE(registers::isValidFiscalCode(dependant)) << dependant;
            }
        }
    }
    // One certification of the building firm was cancelled in the payroll program.
    EXPECT_EQ(cancelled, 1);
    EXPECT_NE(employees(1)[2][0], '$');
}

TEST_F(DemoInstallationTest, QuadriHaveContentAndTheTaxAddsUp)
{
    std::set<std::string> filled;
    for (const auto& [cert, status] : allCertifications()) {
        if (status != '$')
            continue;
        SCOPED_TRACE(cert.cu[1]);
        const auto v = [&cert](int entry) { return value(cert.cu[static_cast<std::size_t>(entry)]); };
        EXPECT_GT(v(22) + v(23), 0);
        EXPECT_GT(v(27), 0);
        EXPECT_LE(v(27), 365);
        // Withholding = gross tax less the deductions, never below zero.
        const double deductions = v(151) + v(152) + v(156) + v(157) + v(158);
        EXPECT_NEAR(v(33), std::max(0.0, v(150) - deductions), 0.005);

        const std::map<std::string, double> parts = {
            {"DB deductions", v(151)},   {"DB bonus", v(169)},        {"DB spouse", cert.cu[295] == "X" ? 1.0 : 0.0},
            {"DB children", v(301)},     {"DC INPS", v(362)},         {"DC collaborator", v(381)},
            {"DC INAIL", v(441)},        {"DF", v(448)},              {"DF group A", v(488)},
            {"DF group B", value(cert.cu2[17])}, {"DN", records::trim(cert.cu2[75]).empty() ? 0.0 : 1.0},
        };
        for (const auto& [name, amount] : parts) {
            if (amount > 0)
                filled.insert(name);
        }
    }
    EXPECT_EQ(filled.size(), 11u);
}

TEST_F(DemoInstallationTest, UniEmensCompaniesOfMarchAndApril)
{
    const std::set<std::string> municipalityCodes = [this] {
        std::set<std::string> codes;
        for (const std::string& record : municipalityRecords()) {
            if (record[0] == '$')
                codes.insert(record.substr(1, 4));
        }
        return codes;
    }();

    const std::vector<std::tuple<std::string, std::string, char, std::string, std::size_t>> companies = {
        {"001", "03", '0', "unb", demo::kEmployeeRecordLength},
        {"002", "03", '0', "unb", demo::kEmployeeRecordLength},
        {"005", "03", '1', "unc", demo::kCollaboratorRecordLength},
        {"003", "04", '0', "unb", demo::kEmployeeRecordLength},
        {"004", "04", '0', "unb", demo::kEmployeeRecordLength},
        {"005", "04", '1', "unc", demo::kCollaboratorRecordLength},
        {"006", "04", '0', "unb", demo::kEmployeeRecordLength},
    };
    int skipped = 0;
    for (const auto& [code, month, kind, prefix, length] : companies) {
        SCOPED_TRACE(code + "/" + month);
        const std::string company = root.read("c/nolv/paghe/una" + code + month + ".016");
        ASSERT_EQ(company.size(), demo::kCompanyRecordLength);
        EXPECT_EQ(company.substr(0, 10), "$" + code + month + "2016");
        EXPECT_EQ(company[179], kind);
        EXPECT_TRUE(registers::isValidVatNumber(field(company, 114, 16)));
        EXPECT_TRUE(registers::isValidFiscalCode(field(company, 12, 16)));

        const std::vector<std::string> records = recordsOf(root.read("c/nolv/paghe/" + prefix + code + month + ".016"), length);
        ASSERT_EQ(records.back().size(), length);
        EXPECT_EQ(value(field(company, 207, 6)), static_cast<double>(records.size())); // header field 20
        double contributions = 0;
        for (const std::string& record : records) {
            EXPECT_TRUE(registers::isValidFiscalCode(field(record, 2, 16))) << field(record, 2, 16);
            EXPECT_TRUE(municipalityCodes.contains(field(record, kind == '0' ? 76 : 62, 4)));
            if (record[0] != '$') {
                ++skipped;
                continue;
            }
            if (kind == '0') {
                contributions += value(field(record, 138, 12));
            } else {
                EXPECT_GT(value(field(record, 70, 12)), 0);
            }
        }
        if (kind == '0') {
            EXPECT_NEAR(value(field(company, 225, 12)), contributions, 0.005); // TotaleADebito
        }
    }
    EXPECT_EQ(skipped, 2);
}

namespace {

// The names of `node`'s elements and of all the elements in it.
void collectNames(xmlNodePtr node, std::set<std::string>& names)
{
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            names.insert(reinterpret_cast<const char*>(node->name));
            collectNames(node->children, names);
        }
    }
}

} // namespace

// Every company of the demo declared as a clerk would in the inditta window: each file is
// stored and is well-formed XML; April's restaurant shows every block of the employee element.
TEST_F(DemoInstallationTest, EveryCompanyGetsAWellFormedDeclaration)
{
    const std::tuple<int, const char*, const char*> companies[] = {
        {3, "001", "fc0010316.xml"}, {3, "002", "fp0020316.xml"}, {3, "005", "uea0050316.xml"},
        {4, "003", "fc0030416.xml"}, {4, "004", "fp0040416.xml"}, {4, "005", "uea0050416.xml"},
        {4, "006", "fc0060416.xml"},
    };
    std::set<std::string> restaurant;
    for (const auto& [month, code, file] : companies) {
        SCOPED_TRACE(file);
        ScriptedPrompter prompter;
        RecordingLauncher launcher;
        records::NoFileChooser chooser;
        records::testing::InstallationValues shared(root.path());
        cu::CreatelForm(shared.workplace(prompter, launcher)).load();
        uniemens::IndittaForm form(shared.workplace(prompter, launcher), chooser);
        form.load();
        form.chooseMonth(month - 1);
        form.chooseCompany(form.findCompany(code));
        prompter.answer(false);
        prompter.answer(false);
        ASSERT_EQ(form.confirm(), uniemens::ConfirmOutcome::FileStored) << prompter.texts().front();
        ASSERT_EQ(fs::path(form.storedHostPath()).filename().string(), file);
        const std::string xml = TempRoot::readFile(form.storedHostPath());
        xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), file, nullptr,
                                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        ASSERT_NE(doc, nullptr) << "not well-formed XML";
        if (std::string(code) == "003")
            collectNames(xmlDocGetRootElement(doc), restaurant);
        xmlFreeDoc(doc);
    }
    for (const char* block :
         {"Assunzione", "Cessazione", "Contrib1PerCento", "Regolarizz1PerCento", "MalACredAltre", "MatACredAltre",
          "ANFACredAltre", "Incentivo", "OreCongCIGO", "OreCongCIGS", "CIGSDatiStat", "LavPensTrattenuta",
          "AltreADebito", "AltreACredito", "Settimana", "Giorno", "DifferenzeAccredito", "ConvBilat", "ANF",
          "SceltaPrevCompl", "SceltaQUIR", "SceltaTFR", "MeseTesoreria", "MeseQUIR", "MisureCompensative",
          "TipoLavSportSpet", "TipoApprendistato"})
        EXPECT_TRUE(restaurant.contains(block)) << block;
}

TEST(DemoRecordBuilders, PlaceFieldsWhereTheReadersLook)
{
    demo::CuHeaderFields h;
    h[1] = "1";
    h[20] = "FRRGRG62H22L219K";
    h[41] = "a@b.it";
    h[44] = "ZZZ";
    const std::string cuHeader = demo::cuHeaderRecord(h);
    ASSERT_EQ(cuHeader.size(), 1200u);
    EXPECT_EQ(cuHeader.substr(0, 2), "$1");
    EXPECT_EQ(cuHeader.substr(206, 16), "FRRGRG62H22L219K");
    EXPECT_EQ(cuHeader.substr(342, 6), "a@b.it");
    EXPECT_EQ(cuHeader.substr(410, 4), "ZZZ ");
    EXPECT_EQ(demo::cuSecondHeaderRecord('1', 5), "$10005" + std::string(1194, ' '));

    demo::CompanyHeaderFields c;
    c[12] = "1";
    c[20] = "000004";
    c[70] = "TF01";
    const std::string company = demo::companyHeaderRecord(c);
    ASSERT_EQ(company.size(), 1000u);
    EXPECT_EQ(company[179], '1');
    EXPECT_EQ(company.substr(206, 6), "000004");
    EXPECT_EQ(company.substr(564, 5), "TF01 ");

    demo::EmployeeFields e;
    e[183] = "31";
    e[184] = "S";
    e[221] = "X";
    e[266] = "C001";
    const std::string employee = demo::employeeRecord(e, ' ');
    ASSERT_EQ(employee.size(), 2000u);
    EXPECT_EQ(employee[0], ' ');
    EXPECT_EQ(employee.substr(1329, 3), "31S");
    EXPECT_EQ(employee[1395], 'X');
    EXPECT_EQ(employee.substr(1538, 5), "C001 ");

    demo::CollaboratorFields k;
    k[19] = "AB";
    const std::string collaborator = demo::collaboratorRecord(k);
    ASSERT_EQ(collaborator.size(), 128u);
    EXPECT_EQ(collaborator.substr(121, 3), "AB ");

    const std::string municipality = demo::municipalityRecord({"F704", "MONZA", "MB", "20900"});
    ASSERT_EQ(municipality.size(), 200u);
    EXPECT_EQ(municipality.substr(0, 5), "$F704");
    EXPECT_EQ(municipality.substr(10, 5), "MONZA");
    EXPECT_EQ(municipality.substr(34, 7), "MB20900");
}

TEST(DemoRecordBuilders, RefuseTextsWiderThanTheirField)
{
    demo::CuHeaderFields h;
    h[3] = "RSSMRA85T10A562SX";
    EXPECT_THROW(demo::cuHeaderRecord(h), std::length_error);
    EXPECT_THROW(demo::cuSecondHeaderRecord('1', 10000), std::length_error);

    payroll::CuFields fields;
    EXPECT_THROW(demo::setCu(fields, 4, "MF"), std::length_error);
    EXPECT_THROW(demo::setCu(fields, 49, "X"), std::invalid_argument);
    EXPECT_THROW(demo::setCu2Amount(fields, 3, 12), std::length_error);
    demo::setCuAmount(fields, 22, 1234.5);
    EXPECT_EQ(fields.cu[22], "     1234.50");
    EXPECT_EQ(demo::amountText(-0.0, 6), "  0.00");
}
