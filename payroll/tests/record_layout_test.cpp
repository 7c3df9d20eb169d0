#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "payroll/collaborator_record.h"
#include "payroll/company_record.h"
#include "payroll/employee_record.h"
#include "payroll/tests/named_slots.h"

using namespace payroll;

namespace {

struct Pinned {
    const FieldLayout& layout;
    int field;
    int position;
    int length;
};

} // namespace

// Positions read off the layouts of the payroll program's files: the first and last field,
// fields after a change of width, and the ones the writers depend on most.
TEST(RecordLayout, FieldsLieWhereThePayrollProgramWritesThem)
{
    const Pinned pinned[] = {
        {companyHeaderLayout(), 1, 2, 3},       {companyHeaderLayout(), 11, 130, 50},
        {companyHeaderLayout(), 12, 180, 1},    {companyHeaderLayout(), 20, 207, 6},
        {companyHeaderLayout(), 26, 262, 6},    {companyHeaderLayout(), 62, 499, 12},
        {companyHeaderLayout(), 70, 565, 4},    {employeeLayout(), 1, 2, 16},
        {employeeLayout(), 21, 126, 12},        {employeeLayout(), 64, 544, 3},
        {employeeLayout(), 98, 690, 3},         {employeeLayout(), 117, 824, 8},
        {employeeLayout(), 153, 1123, 1},       {employeeLayout(), 183, 1330, 2},
        {employeeLayout(), 214, 1362, 1},       {employeeLayout(), 215, 1363, 4},
        {employeeLayout(), 221, 1396, 1},       {employeeLayout(), 251, 1426, 1},
        {employeeLayout(), 257, 1461, 6},       {employeeLayout(), 266, 1539, 4},
        {employeeLayout(), 267, 1543, 12},      {collaboratorLayout(), 1, 2, 16},
        {collaboratorLayout(), 7, 70, 12},      {collaboratorLayout(), 19, 122, 2},
    };
    for (const Pinned& p : pinned) {
        const FieldSlot slot = p.layout.slot(p.field);
        EXPECT_EQ(slot.position, p.position) << p.layout.name() << " field " << p.field;
        EXPECT_EQ(slot.length, p.length) << p.layout.name() << " field " << p.field;
    }
    EXPECT_EQ(companyHeaderLayout().fieldCount(), 70);
    EXPECT_EQ(employeeLayout().fieldCount(), 267);
    EXPECT_EQ(collaboratorLayout().fieldCount(), 19);
    EXPECT_EQ(employeeLayout().slot(268).position, 0);
    EXPECT_EQ(employeeLayout().slot(0).position, 0);
}

// The employee entries that the register lists, shows and saves by name, where the payroll
// program keeps them; in the folder "pagmar" the regime after 1995 follows entry 214.
TEST(RecordLayout, NamedEmployeeEntriesLieWhereTheRegisterUsesThem)
{
    expectNamedSlots(
        {
            {"fiscal code", employee::kFiscalCode, 2, 16},   {"surname", employee::kSurname, 18, 24},
            {"first name", employee::kFirstName, 42, 20},    {"pay kind", employee::kPayKind, 1382, 1},
            {"post 95", employee::kPost95, 1383, 1},         {"operating unit", employee::kOperatingUnit, 1461, 6},
            {"last common", employee::kLastCommonEntry, 1362, 1},
            // read by the UniEmens writer
            {"hiring type", employee::kHiringType, 104, 2},      {"TFR choice kind", employee::kTfrChoiceKind, 822, 2},
            {"TFR choice date", employee::kTfrChoiceDate, 824, 8}, {"fund adhesion", employee::kFundAdhesionDate, 839, 8},
            {"hired", employee::kHiredMarker, 1123, 1},          {"terminated", employee::kTerminatedMarker, 1124, 1},
            {"QUIR paid", employee::kQuirPaidInPayslip, 1471, 12}, {"QUIR financed", employee::kQuirFinanced, 1483, 12},
            {"first Conv", employee::kFirstConvAmount, 1495, 12}, {"second Conv", employee::kSecondConvAmount, 1511, 12},
            {"third Conv", employee::kThirdConvAmount, 1527, 12},
        },
        [](int field) { return employeeLayout().slot(field); });
    EXPECT_EQ(employee::kPagmarPost95Position, 1363);
    EXPECT_EQ(employee::kPagmarPost95Length, 12);
}

TEST(RecordLayout, WritersSeeControlCharactersAsBlanksAndStrippedFields)
{
    std::string record(kCollaboratorRecordLength, '\0'); // never written by the payroll program
    record[0] = '$';
    record.replace(17, 7, "\tROSSI ");      // field 2, positions 18-41
    record.replace(69, 12, std::string("   1250.50\0\0", 12)); // field 7
    const RecordFields fields = unpackCollaborator(record);
    EXPECT_EQ(fields[1], "");
    EXPECT_EQ(fields[2], "ROSSI");
    EXPECT_EQ(fields[7], "1250.50");
    EXPECT_DOUBLE_EQ(fields.number(7), 1250.5);
    EXPECT_EQ(fields[20], "");

    // A record cut short leaves the fields beyond its end empty.
    const std::string cut = std::string("$00103") + "2016";
    const RecordFields shortRecord = unpackCompanyHeader(cut, company::kCollaboratorFieldCount);
    EXPECT_EQ(shortRecord[company::kCode], "001");
    EXPECT_EQ(shortRecord[company::kYear], "2016");
    EXPECT_EQ(shortRecord[4], "");
    EXPECT_EQ(shortRecord.fieldCount(), 21);
    EXPECT_EQ(shortRecord[22], "");
}

TEST(RecordLayout, RegisterEntriesKeepEveryByteAndAStoreTouchesOnlyTheSlots)
{
    EmployeeEntries entries;
    entries[2] = "rossi";
    entries[267] = "123456789012";
    std::string record = packEmployee(entries);
    ASSERT_EQ(record.size(), 2000u);
    EXPECT_EQ(record.substr(17, 24), "rossi" + std::string(19, ' '));
    EXPECT_EQ(record.substr(1542, 12), "123456789012");

    record[1554] = '\0'; // beyond entry 267: nobody's field
    record[20] = '\x01';
    const auto raw = unpackEmployeeEntries(record);
    EXPECT_EQ(raw[2], std::string("ros\x01i", 5) + std::string(19, ' '));
    EXPECT_EQ(raw[267], "123456789012");

    std::vector<std::string> changed = raw;
    changed[2] = "BIANCHI";
    store(employeeLayout(), changed, record);
    EXPECT_EQ(record.substr(17, 24), "BIANCHI" + std::string(17, ' '));
    EXPECT_EQ(record[1554], '\0');
    EXPECT_EQ(record[0], '$');

    entries[3] = std::string(21, 'X'); // field 3 holds 20 characters
    EXPECT_THROW(packEmployee(entries), std::length_error);
}

// The fields of the company header that the UniEmens writers read by name lie where the
// header keeps what the name says.
TEST(RecordLayout, NamedCompanyHeaderFieldsLieWhereTheWritersReadThem)
{
    expectNamedSlots(
        {
            {"code", company::kCode, 2, 3},
            {"month", company::kMonth, 5, 2},
            {"sender person", company::kSenderPersonFiscalCode, 12, 16},
            {"sender name", company::kSenderName, 28, 50},
            {"sender fiscal code", company::kSenderFiscalCode, 78, 16},
            {"INPS office", company::kInpsOffice, 110, 4},
            {"company fiscal code", company::kFiscalCode, 114, 16},
            {"name", company::kName, 130, 50},
            {"declaration kind", company::kDeclarationKind, 180, 1},
            {"composition", company::kComposition, 181, 2},
            {"INPS number", company::kInpsNumber, 183, 10},
            {"cancellation", company::kCancellation, 193, 1},
            {"post code", company::kPostCode, 196, 5},
            {"ISTAT code", company::kIstatCode, 201, 6},
            {"record count", company::kRecordCount, 207, 6},
            {"interprofessional fund", company::kInterprofessionalFund, 370, 1},
        },
        [](int field) { return companyHeaderLayout().slot(field); });
}
