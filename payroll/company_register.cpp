#include "payroll/company_register.h"

#include "records/text.h"

namespace payroll {

const std::array<CompanyFieldSlot, kCompanyFieldCount + 1> kCompanyFields = {{
    {0, 0},
    {2, 1},    // 1 kind: 0 individual, 1 company, 2 professional
    {3, 34},   // 2 name
    {37, 16},  // 3 fiscal code
    {53, 1},   // 4 sex
    {54, 8},   // 5 birth date ddmmyyyy
    {62, 24},  // 6 birth municipality
    {86, 24},  // 7 activity description
    {110, 11}, // 8 VAT number
    {121, 2},  // 9 sector
    {123, 6},  // 10 activity code
    {129, 2},  // 11 legal form
    {131, 4},  // 12 old activity code
    {135, 1},  // 13 accounting: ordinary, simplified
    {136, 1},  // 14 VAT settlement: quarterly, monthly
    {137, 6},  // 15 VAT non-deductible percentage
    {143, 24}, // 16 tax domicile: street
    {167, 5},  // 17 tax domicile: postcode
    {172, 24}, // 18 tax domicile: municipality
    {196, 2},  // 19 tax domicile: province
    {198, 24}, // 20 place of business: street
    {222, 5},  // 21 place of business: postcode
    {227, 24}, // 22 place of business: municipality
    {251, 2},  // 23 place of business: province
    {253, 12}, // 24 telephone
    {265, 50}, // 25 email
    {315, 3},  // 26 parent company
    {318, 12}, // 27 opening VAT credit
    {330, 1},  // 28 takings: none, normal, apportioned
    {331, 2},  // 29 account personalization record
    {333, 4},  // 30 first customer sub-account
    {337, 4},  // 31 first supplier sub-account
    {341, 1},  // 32 managed: no, yes
    {342, 2},  // 33 intermediary
    {344, 1},  // 34 managed: no, yes
}};

CompanyFields unpackCompanyRecord(std::string_view record)
{
    CompanyFields fields;
    for (int i = 1; i <= kCompanyFieldCount; ++i) {
        const CompanyFieldSlot& slot = kCompanyFields[static_cast<std::size_t>(i)];
        fields[static_cast<std::size_t>(i)] = std::string(records::mid(record, slot.position, slot.length));
    }
    return fields;
}

std::string packCompanyRecord(const CompanyFields& fields)
{
    std::string record = "$";
    record.reserve(kCompanyRecordUsed);
    for (int i = 1; i <= kCompanyFieldCount; ++i)
        record += records::fitRight(fields[static_cast<std::size_t>(i)],
                                    kCompanyFields[static_cast<std::size_t>(i)].length);
    return record;
}

} // namespace payroll
