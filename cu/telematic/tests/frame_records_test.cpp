#include <gtest/gtest.h>

#include <algorithm>

#include "cu/telematic/employee_loop.h"
#include "cu/telematic/frame_records.h"
#include "payroll/cu_header.h"
#include "cu/telematic/tests/telematic_test_support.h"

using namespace cu::telematic;
using namespace cu::telematic::testing;

namespace {

struct FrameRecordsTest : TelematicFileTest {
    payroll::HeaderTable header = payroll::unpackHeaderTable(payroll::packHeaderRecord(sampleHeader()));

    std::vector<std::string> written() { return splitRecords(telematicFile()); }
};

// The first part of quadro DA as the employee loop writes it: the withholding agent's
// fields, then the employee's.
void writeQuadroDAIdentity(TelematicWriter& writer, const payroll::HeaderTable& header, const payroll::CuEntries& fields)
{
    writeQuadroDAEmployer(writer, header);
    writeQuadroDAEmployee(writer, fields);
}

} // namespace

TEST_F(FrameRecordsTest, RecordAAndACompanyRecordB)
{
    writeRecordA(writer, header);
    writeRecordB(writer, header, Operation::Ordinary);
    const auto records = written();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], "A" + std::string(14, ' ') + "CUR1710VRDGPP60C03F205K" + std::string(1859, ' ') + "A\r\n");

    const std::string& b = records[1];
    EXPECT_EQ(at(b, 1, 25), "B01234567890     00000001");
    EXPECT_EQ(at(b, 26, 73), std::string(48, ' '));
    EXPECT_EQ(at(b, 74, 92), "AAABBB00A01A000A 00");
    EXPECT_EQ(at(b, 93, 136), std::string(44, ' '));
    EXPECT_EQ(at(b, 137, 196), "ROSSI COSTRUZIONI SRL   SEDE DI MILANO" + std::string(22, ' '));
    EXPECT_EQ(at(b, 197, 231), "PAGHE@ROSSICOSTRUZIONI.EXAMPLE.IT  ");
    EXPECT_EQ(at(b, 232, 296), std::string(65, ' '));
    EXPECT_EQ(at(b, 297, 309), "0212345678  0");
    EXPECT_EQ(at(b, 310, 327), "BNCLRA75B41F205Z01");
    EXPECT_EQ(at(b, 328, 371), "BIANCHI" + std::string(17, ' ') + "LAURA" + std::string(15, ' '));
    EXPECT_EQ(at(b, 372, 382), "09876543210");
    EXPECT_EQ(at(b, 383, 401), std::string(19, ' '));
    EXPECT_EQ(at(b, 402, 437), "0000000201VRDGPP60C03F205K1150220171");
    EXPECT_EQ(at(b, 438, 1897), std::string(1460, ' '));
    EXPECT_EQ(writer.countB, 1);
}

TEST_F(FrameRecordsTest, RecordBOfAPersonAndOfAnnulmentAndReplacement)
{
    header[2] = "D";
    header[5] = "VERDI" + std::string(19, ' ');
    header[6] = "GIUSEPPE ANTONIO MARIAXYZ";
    header[11] = std::string(11, ' ');
    header[16] = "X";
    writeRecordB(writer, header, Operation::Annulment);
    header[2] = " ";
    writeRecordB(writer, header, Operation::Replacement);
    const auto records = written();
    const std::string& person = records[0];
    EXPECT_EQ(at(person, 91, 92), "10");
    EXPECT_EQ(at(person, 93, 136), "VERDI" + std::string(19, ' ') + "GIUSEPPE ANTONIO MAR");
    EXPECT_EQ(at(person, 137, 196), std::string(60, ' '));
    EXPECT_EQ(at(person, 297, 309), "0212345678  0");
    EXPECT_EQ(at(person, 310, 382), std::string(16, ' ') + "00" + std::string(44, ' ') + "00000000000");
    EXPECT_EQ(at(person, 410, 411), "11");
    const std::string& company = records[1];
    EXPECT_EQ(at(company, 91, 92), "01");
    EXPECT_EQ(at(company, 372, 382), "00000000000"); // no VAT number
}

TEST_F(FrameRecordsTest, RecordBIsRefusedWithoutAnEmployeeCount)
{
    header[14] = "    ";
    try {
        writeRecordB(writer, header, Operation::Ordinary);
        FAIL() << "no stop";
    } catch (const RunStopped& stop) {
        EXPECT_STREQ(stop.what(), "Grave !! Numero dipendenti pari a zero ");
    }
    EXPECT_EQ(writer.totalRecords(), 0);
}

TEST_F(FrameRecordsTest, RecordCOfBothIntermediaryLayoutsAndLongTexts)
{
    header[34] = "000012345678";
    header[8] = "AMMINISTRAZIONE@ROSSICOSTRUZIONI.IT"; // 35 characters
    header[35] = " ";
    header[37] = "AB ";
    writeRecordC(writer, header);
    header[33] = "B";
    header[34] = "000000000000";
    header[8] = std::string(35, ' ');
    header[38] = "007";
    header[39] = "000000004567";
    header[41] = "STUDIO ASSOCIATO DOTTORI COMMERCIALISTI DI MI"; // 45 characters
    writeRecordC(writer, header);
    const auto records = written();
    EXPECT_EQ(at(records[0], 1, 89), "C01234567890     00000001" + std::string(64, ' '));
    EXPECT_EQ(fieldsOf(records[0]), (std::vector<std::string>{
                                        field("CT001001", "01234567890"),
                                        field("CT001002", "000012345678"),
                                        field("CT001003", "AMMINISTRAZIONE@"),
                                        field("CT001003", "+ROSSICOSTRUZION"),
                                        field("CT001003", "+I.IT"),
                                        field("CT002002", "AB"),
                                    }));
    EXPECT_EQ(fieldsOf(records[1]), (std::vector<std::string>{
                                        field("CT001001", "01234567890"),
                                        field("CT003001", "VRDGPP60C03F205K"),
                                        field("CT003002", "007"),
                                        field("CT003003", "000000004567"),
                                        field("CT003004", "STUDIO ASSOCIATO"),
                                        field("CT003004", "+ DOTTORI COMMER"),
                                        field("CT003004", "+CIALISTI DI MI"),
                                        field("CT003005", "               1"),
                                    }));
    EXPECT_EQ(writer.countC, 2);
}

TEST_F(FrameRecordsTest, LongTextsLeaveOutAnEmptyThirdChunk)
{
    writer.startRecord(std::string(kPositionalLength, 'C'));
    writeLongText(writer, "CT001003", "  SEDICICARATTERI  ", 35);
    writeLongText(writer, "CT001003", "VENTI CARATTERI ESAT", 35);
    writeLongText(writer, "CT001003", std::string(31, 'A') + "    ", 35);
    writeTwoChunkText(writer, "DA002002", "SANTAMBROGIO BRAMBIL    ");
    writeTwoChunkText(writer, "DA002002", " ROSSI");
    writer.flush();
    EXPECT_EQ(fieldsOf(written()[0]), (std::vector<std::string>{
                                          field("CT001003", "SEDICICARATTERI"),
                                          field("CT001003", "VENTI CARATTERI "),
                                          field("CT001003", "+ESAT"),
                                          field("CT001003", std::string(16, 'A')),
                                          field("CT001003", "+" + std::string(15, 'A')),
                                          field("DA002002", "SANTAMBROGIO BRA"),
                                          field("DA002002", "+MBIL"),
                                          field("DA002002", " ROSSI"),
                                      }));
}

TEST_F(FrameRecordsTest, RecordZCountsEveryRecordType)
{
    writer.countB = 1;
    writer.countD = 2;
    writer.countG = 123456789;
    writeRecordZ(writer);
    EXPECT_EQ(written()[0], "Z" + std::string(14, ' ') + "000000001" + "000000000" + "000000002" + "123456789"
                                + "000000000" + std::string(1837, ' ') + "A\r\n");
}

TEST_F(FrameRecordsTest, QuadroDAOfACompanyAndAnEmployee)
{
    payroll::CuFields employee = sampleEmployee("RSSMRA70A01F205X", "SANTAMBROGIO BRAMBIL", "MARIO");
    payroll::unpackArchiveRecord(payroll::packArchiveRecord(employee), employee);
    writer.startRecord(std::string(kPositionalLength, 'D'));
    payroll::CuEntries entries;
    payroll::viewFields(employee, entries);
    writeQuadroDAIdentity(writer, header, entries);
    writeQuadroDARest(writer, header, entries);
    writer.flush();
    EXPECT_EQ(fieldsOf(written()[0]), (std::vector<std::string>{
                                          field("DA001001", "01234567890"),
                                          field("DA001002", "ROSSI COSTRUZION"),
                                          field("DA001002", "+I SRL"),
                                          field("DA001003", "SEDE DI MILANO"),
                                          field("DA001004", "MILANO"),
                                          field("DA001005", "MI"),
                                          field("DA001006", "20121"),
                                          field("DA001007", "VIA DANTE 1"),
                                          field("DA001008", "0212345678"),
                                          field("DA001009", "PAGHE@ROSSICOSTR"),
                                          field("DA001009", "+UZIONI.EXAMPLE."),
                                          field("DA001009", "+IT"),
                                          field("DA001010", "412000"),
                                          field("DA001011", "001"),
                                          field("DA002001", "RSSMRA70A01F205X"),
                                          field("DA002002", "SANTAMBROGIO BRA"),
                                          field("DA002002", "+MBIL"),
                                          field("DA002003", "MARIO"),
                                          field("DA002004", "M"),
                                          field("DA002005", "        01011970"),
                                          field("DA002006", "MILANO"),
                                          field("DA002007", "MI"),
                                          field("DA002009", "               1"),
                                          field("DA002010", "               1"),
                                          field("DA002020", "MILANO"),
                                          field("DA002021", "MI"),
                                          field("DA002022", "F205"),
                                          field("DA002023", "MILANO"),
                                          field("DA002024", "MI"),
                                          field("DA002025", "F205"),
                                          field("DA003001", "        28022017"),
                                          field("DA003002", "               1"),
                                      }));
}

TEST_F(FrameRecordsTest, QuadroDAWithTheSecondGroupOfPersonalData)
{
    payroll::CuFields employee = sampleEmployee("RSSMRA70A01F205X", "ROSSI", "MARIO");
    employee.cu[8] = "EE";
    employee.cu[9] = "0";
    employee.cu[10] = "3";
    employee.cu[17] = "VRDLCU40A01F205Y";
    employee.cu[18] = "VERDI";
    employee.cu[19] = "LUCIA";
    employee.cu[20] = "X";
    employee.cu[21] = "050";
    payroll::unpackArchiveRecord(payroll::packArchiveRecord(employee), employee);
    header[6] = std::string(24, ' ');
    header[30] = "00000";
    writer.startRecord(std::string(kPositionalLength, 'D'));
    payroll::CuEntries entries;
    payroll::viewFields(employee, entries);
    writeQuadroDAIdentity(writer, header, entries);
    writeQuadroDARest(writer, header, entries);
    writer.flush();
    const auto fields = fieldsOf(written()[0]);
    std::vector<std::string> codes;
    for (const std::string& f : fields)
        codes.push_back(f.substr(0, 8));
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "DA001003"), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "DA001006"), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "DA002009"), 0);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "DA002010"), 0);
    const std::vector<std::string> tail(fields.end() - 9, fields.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        field("DA002024", "MI"),
                        field("DA002025", "F205"),
                        field("DA002040", "VRDLCU40A01F205Y"),
                        field("DA002041", "VERDI"),
                        field("DA002042", "LUCIA"),
                        field("DA002043", "               1"),
                        field("DA002044", "             050"),
                        field("DA003001", "        28022017"),
                        field("DA003002", "               1"),
                    }));
    EXPECT_EQ(fields[std::find(codes.begin(), codes.end(), "DA002008") - codes.begin()], field("DA002008", "EE"));
}
