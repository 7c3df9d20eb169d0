#include <gtest/gtest.h>

#include <string>

#include "payroll/cu_header.h"
#include "testing/cu_headers.h"
#include "payroll/tests/named_slots.h"

using cu::telematic::testing::sampleHeader;

TEST(CuHeader, FieldsAreCutAtTheirPlacesBlankedWhenNulAndUpperCased)
{
    payroll::HeaderTable source = sampleHeader();
    source[5] = "rossi \xE0 c. srl";                 // lower case, with an accented letter
    source[41] = std::string(44, 'x') + "Y";
    std::string record = payroll::packHeaderRecord(source);
    record.replace(244, 6, std::string(6, '\0')); // field 27 never filled
    record.replace(250, 1, std::string(1, '\0'));   // field 28 starts with one NUL only
    const payroll::HeaderTable header = payroll::unpackHeaderTable(record);
    EXPECT_EQ(header[5], "ROSSI \xC0 C. SRL" + std::string(10, ' '));
    EXPECT_EQ(header[27], std::string(6, ' '));
    EXPECT_EQ(header[28][0], '\0');
    EXPECT_EQ(header[41], std::string(44, 'X') + "Y");
    EXPECT_EQ(header[14], "2   ");
    EXPECT_EQ(header[44].size(), 3u);
    EXPECT_EQ(payroll::unpackHeaderTable(record.substr(0, 100))[8], record.substr(80, 20));
}

TEST(CuHeader, SecondRecordCarriesKindAndRightAlignedCount)
{
    EXPECT_EQ(payroll::packSecondHeaderRecord('1', "5"), "$1   5" + std::string(1194, ' '));
    EXPECT_EQ(payroll::packSecondHeaderRecord('2', "1E99", ' '), " 21E99" + std::string(1194, ' '));
    EXPECT_EQ(payroll::packSecondHeaderRecord('1', "123456").substr(0, 7), "$13456 ");
}

// The fields that the run reads by meaning lie where the CU header record keeps what the
// name says (positions and lengths of the header layout, written out by hand).
TEST(CuHeader, NamedFieldsLieWhereTheirContentIs)
{
    namespace f = payroll::header_field;
    expectNamedSlots(
        {
            {"agent kind", f::kAgentKind, 3, 1},
            {"agent fiscal code", f::kAgentFiscalCode, 4, 16},
            {"name, first part", f::kNameFirstPart, 21, 24},
            {"name, second part", f::kNameSecondPart, 45, 24},
            {"employee count", f::kEmployeeCount, 193, 4},
            {"record C wanted", f::kRecordCWanted, 201, 1},
            {"supplier type", f::kSupplierType, 205, 2},
            {"supplier fiscal code", f::kSupplierFiscalCode, 207, 16},
            {"commitment type", f::kCommitmentType, 223, 1},
            {"commitment date", f::kCommitmentDate, 224, 8},
            {"replaced submission", f::kReplacedSubmission, 388, 17},
            {"replaced certificate", f::kReplacedCertificate, 405, 6},
        },
        [](int field) { return payroll::headerFieldSlot(field); });
}
