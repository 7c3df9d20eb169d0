#include <gtest/gtest.h>

#include <string>

#include "payroll/company_register.h"
#include "payroll/tests/named_slots.h"

using namespace payroll;

namespace {

// Position and length of fields 1 to 34 of the company record, as the register's layout
// gives them.
constexpr std::size_t kLayout[][2] = {
    {2, 1},    {3, 34},   {37, 16},  {53, 1},   {54, 8},   {62, 24},  {86, 24},  {110, 11}, {121, 2},
    {123, 6},  {129, 2},  {131, 4},  {135, 1},  {136, 1},  {137, 6},  {143, 24}, {167, 5},  {172, 24},
    {196, 2},  {198, 24}, {222, 5},  {227, 24}, {251, 2},  {253, 12}, {265, 50}, {315, 3},  {318, 12},
    {330, 1},  {331, 2},  {333, 4},  {337, 4},  {341, 1},  {342, 2},  {344, 1},
};

} // namespace

TEST(CompanyRecord, EveryFieldInItsPlaceAndBackAgain)
{
    // Each field filled to its length with a character of its own: a field in the wrong
    // place or of the wrong length shows up as a run of the wrong character.
    CompanyFields fields;
    std::string expected = "$";
    for (int i = 1; i <= kCompanyFieldCount; ++i) {
        const auto [position, length] = kLayout[i - 1];
        ASSERT_EQ(expected.size() + 1, position) << "field " << i;
        const char mark = static_cast<char>('A' + i - 1);
        fields[static_cast<std::size_t>(i)] = std::string(length, mark);
        expected += std::string(length, mark);
    }
    const std::string record = packCompanyRecord(fields);
    EXPECT_EQ(record, expected);
    ASSERT_EQ(record.size(), 344u);

    const CompanyFields back = unpackCompanyRecord(record + std::string(456, '#'));
    for (int i = 1; i <= kCompanyFieldCount; ++i)
        EXPECT_EQ(back[static_cast<std::size_t>(i)], fields[static_cast<std::size_t>(i)]) << "field " << i;
}

// The fields that the company window and the check of the registers use by name lie where
// the master record keeps what the name says.
TEST(CompanyRecord, NamedFieldsLieWhereTheirContentIs)
{
    expectNamedSlots(
        {
            {"kind", company_field::kKind, 2, 1},
            {"name", company_field::kName, 3, 34},
            {"fiscal code", company_field::kFiscalCode, 37, 16},
            {"sex", company_field::kSex, 53, 1},
            {"birth date", company_field::kBirthDate, 54, 8},
            {"birth place", company_field::kBirthPlace, 62, 24},
            {"VAT number", company_field::kVatNumber, 110, 11},
            {"sector", company_field::kSector, 121, 2},
            {"activity code", company_field::kActivityCode, 123, 6},
            {"legal form", company_field::kLegalForm, 129, 2},
            {"accounting regime", company_field::kAccountingRegime, 135, 1},
            {"VAT settlement", company_field::kVatSettlement, 136, 1},
            {"takings", company_field::kTakings, 330, 1},
            {"account personalization", company_field::kAccountPersonalization, 331, 2},
            {"field 32", company_field::kField32, 341, 1},
            {"intermediary", company_field::kIntermediary, 342, 2},
            {"field 34", company_field::kField34, 344, 1},
        },
        [](int field) { return kCompanyFields.at(static_cast<std::size_t>(field)); });
}

TEST(CompanyRecord, ShortAndLongTextsKeepTheFieldsAfterThemInPlace)
{
    CompanyFields fields;
    fields[2] = "ROSSI SRL";                 // shorter: blanks follow
    fields[3] = "RSSMRA85T10A562S-TOO-LONG"; // longer: cut at 16
    fields[34] = "1";
    const std::string record = packCompanyRecord(fields);
    ASSERT_EQ(record.size(), 344u);
    EXPECT_EQ(record.substr(0, 53), "$ ROSSI SRL                         RSSMRA85T10A562S ");
    EXPECT_EQ(record.back(), '1');

    const CompanyFields back = unpackCompanyRecord("$0ROSSI"); // a short record
    EXPECT_EQ(back[2], "ROSSI");
    EXPECT_EQ(back[3], "");
}
