#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "check/tests/check_test_support.h"
#include "cu/telematic/quadri_dc_df_dn.h"
#include "cu/telematic/quadro_db.h"
#include "payroll/cu_archive.h"
#include "payroll/employee_record.h"
#include "records/text.h"

using check::testing::Checked;
using check::testing::checkPath;
using check::testing::joined;
using check::testing::Office;

namespace {

const cu::SupplyOptions kOrdinary = [] {
    cu::SupplyOptions options;
    options.kind = 'N';
    options.commitmentType = "1"; // archive 2 leaves the commitment to the clerk
    options.commitmentDate = "10032017";
    return options;
}();

} // namespace

// Every file the program writes on the demo installation is ready to be sent: the three
// archives and every company of March and April, alone and chained into one file.
TEST(ProgramFiles, TheDemoFilesHaveNothingThatBlocksTheSending)
{
    Office office;
    for (const int archive : {1, 2, 7}) {
        SCOPED_TRACE("archive " + std::to_string(archive));
        const std::string file = office.cuRun(archive, kOrdinary);
        ASSERT_FALSE(file.empty());
        const Checked checked = checkPath(file);
        EXPECT_EQ(checked.kind, check::FileKind::Cu);
        EXPECT_EQ(joined(checked.lines), "") << "a clean certification leaves not even a warning";
    }
    struct Series {
        int month;
        std::vector<std::string> companies;
        long long warnings;
    };
    const Series series[] = {
        {3, {"001"}, 0}, {3, {"002"}, 0}, {3, {"005"}, 0}, {3, {"001", "002"}, 0},
        // The restaurant's entertainer has a daily coverage for five days of the last fortnight
        // only: the other twenty days carry an empty optional element.
        {4, {"003"}, 20}, {4, {"004"}, 0}, {4, {"005"}, 0}, {4, {"006"}, 0}, {4, {"003", "004", "006"}, 20},
    };
    for (const Series& s : series) {
        SCOPED_TRACE("month " + std::to_string(s.month) + ", first company " + s.companies.front());
        Office fresh; // each series takes its companies off the list
        const std::string file = fresh.uniemensSeries(s.month, s.companies);
        ASSERT_FALSE(file.empty());
        const Checked checked = checkPath(file);
        EXPECT_EQ(checked.kind, check::FileKind::Uniemens);
        EXPECT_EQ(joined(checked.blockingLines()), "");
        EXPECT_EQ(checked.warnings, s.warnings) << joined(checked.lines);
        for (const std::string& line : checked.lines)
            EXPECT_NE(line.find("elemento DenunceMensili/Azienda/PosContributiva/DenunciaIndividuale/DatiRetributivi/"
                                "Giorno/TipoCoperturaGiorn persona FBBCHR90L42A944O FABBRI CHIARA: Elemento "
                                "TipoCoperturaGiorn (copertura del giorno) vuoto"),
                      std::string::npos)
                << line;
    }
}

// A supply of one certification (annulment, replacement, single ordinary) states one
// certification in record B, whatever the archive's employee count: nothing to say.
TEST(ProgramFiles, ASupplyOfOneCertificationStatesOneInRecordB)
{
    Office office;
    struct Single {
        char kind;
        const char* record;
    };
    for (const Single single : {Single{'A', "2"}, Single{'S', "4"}, Single{'T', "5"}}) {
        SCOPED_TRACE(std::string(1, single.kind));
        cu::SupplyOptions options;
        options.kind = single.kind;
        options.employeeRecord = single.record;
        if (single.kind != 'T') {
            options.replacedSubmission = "17021012345678901";
            options.replacedCertificate = "000004";
        }
        options.outputName = std::string("SINGOLA") + single.kind;
        const std::string file = office.cuRun(1, options);
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(records::testing::TempRoot::readFile(file).substr(1900 + 401, 8), "00000001");
        const Checked checked = checkPath(file);
        EXPECT_EQ(joined(checked.lines), "");
    }
}

namespace {

// A stored amount as the payroll program may leave it: blanks, zero, a plain amount with
// up to two decimals, sometimes negative.
std::string randomAmount(std::mt19937_64& random, int width)
{
    switch (random() % 6) {
    case 0: return {};
    case 1: return "0";
    default: break;
    }
    std::string number = random() % 10 == 0 ? "-" : "";
    const auto digits = 1 + random() % static_cast<unsigned>(std::max(1, std::min(width - 4, 8)));
    for (unsigned k = 0; k < digits; ++k)
        number.push_back(static_cast<char>('0' + random() % 10));
    if (random() % 2 == 0)
        number += "." + std::to_string(10 + random() % 90);
    return number.substr(0, static_cast<std::size_t>(width));
}

} // namespace

// Random installations: the demo's certifications and April's employees with every amount
// drawn at random, as a payroll program could leave them. Whatever the amounts, what the
// program writes passes.
TEST(ProgramFiles, RandomAmountsInTheArchivesNeverMakeAFileThatBlocks)
{
    using cu::telematic::Form;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 random(seed);
        Office office;
        const auto dataFolder = office.root.path() / "c/nolv/nv770/2016/dati";
        for (const int archive : {1, 2, 7}) {
            const auto path = dataFolder / ("DCU" + std::to_string(archive) + ".017");
            std::string bytes = records::testing::TempRoot::readFile(path);
            for (std::size_t at = 0; at + payroll::kArchiveRecordLength <= bytes.size(); at += payroll::kArchiveRecordLength) {
                payroll::CuFields fields;
                payroll::unpackArchiveRecord(std::string_view(bytes).substr(at, payroll::kArchiveRecordLength), fields);
                for (const auto rows : {cu::telematic::quadroDbRows(), cu::telematic::dependantRows(),
                                        cu::telematic::quadroDcRows(), cu::telematic::quadroDfRows()}) {
                    for (const cu::telematic::FieldRow& row : rows) {
                        if (row.form != Form::Amount || row.source.entry == 0 || row.code.substr(5, 3) == "A07")
                            continue;
                        const bool first = row.source.table == cu::telematic::Table::Cu;
                        const int width = first ? payroll::cuFieldSlot(row.source.entry).length
                                                : payroll::secondCuFieldSlot(row.source.entry).length;
                        std::string& entry = first ? fields.cu[static_cast<std::size_t>(row.source.entry)]
                                                   : fields.cu2[static_cast<std::size_t>(row.source.entry)];
                        entry = records::padLeft(randomAmount(random, width), static_cast<std::size_t>(width));
                    }
                }
                bytes.replace(at, payroll::kArchiveRecordLength, payroll::packArchiveRecord(fields, bytes[at]));
            }
            office.root.write("c/nolv/nv770/2016/dati/DCU" + std::to_string(archive) + ".017", bytes);
            const std::string file = office.cuRun(archive, kOrdinary);
            ASSERT_FALSE(file.empty()) << "archive " << archive;
            const Checked checked = checkPath(file);
            EXPECT_EQ(joined(checked.blockingLines()), "") << "archive " << archive;
        }

        // April's restaurant: every amount of its employees' month drawn at random.
        const std::string employees = "c/nolv/paghe/unb00304.016";
        std::string bytes = office.root.read(employees);
        for (std::size_t at = 0; at + payroll::kEmployeeRecordLength <= bytes.size(); at += payroll::kEmployeeRecordLength) {
            std::vector<std::string> entries = payroll::unpackEmployeeEntries(
                std::string_view(bytes).substr(at, payroll::kEmployeeRecordLength));
            payroll::EmployeeEntries fields;
            for (std::size_t k = 1; k < fields.size() && k < entries.size(); ++k)
                fields[k] = entries[k];
            // Contributions, sickness, maternity, family allowance, wage guarantee, TFR: every
            // amount the month has gets another one. A block the employee has not (its amount
            // blank) stays away: an amount without its reason code is a payroll slip, which
            // the check rightly blocks.
            for (const int field : {22, 24, 25, 26, 27, 28, 30, 31, 32, 33, 35, 36, 37, 38, 39, 41, 43, 44, 46, 48,
                                    49, 53, 55, 56, 62, 74, 78, 79, 103, 125, 126, 127, 131, 132, 139, 141, 179}) {
                std::string& amount = fields[static_cast<std::size_t>(field)];
                if (records::trim(amount).empty())
                    continue;
                std::string drawn = randomAmount(random, 12);
                if (drawn.starts_with("-"))
                    drawn.erase(0, 1); // INPS amounts are never negative: the payroll program keeps debits apart
                amount = drawn.empty() ? "0" : drawn; // a required amount is never left blank

            }
            fields[21] = std::to_string(random() % 5000); // taxable pay in whole euro
            bytes.replace(at, payroll::kEmployeeRecordLength, payroll::packEmployee(fields, bytes[at]));
        }
        office.root.write(employees, bytes);
        const std::string file = office.uniemensSeries(4, {"003"});
        ASSERT_FALSE(file.empty());
        const Checked checked = checkPath(file);
        EXPECT_EQ(joined(checked.blockingLines()), "");
    }
}
