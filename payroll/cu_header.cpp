#include "payroll/cu_header.h"

#include "records/text.h"

namespace payroll {

namespace {

constexpr HeaderSlot kSlots[kHeaderFieldCount + 1] = {
    {0, 0},
    {2, 1},    {3, 1},    {4, 16},   {20, 1},   {21, 24},  {45, 24},  {69, 12},   {81, 35},   {116, 16},
    {132, 2},  {134, 11}, {145, 24}, {169, 24}, {193, 4},  {197, 4},  {201, 1},   {202, 1},   {203, 2},
    {205, 2},  {207, 16}, {223, 1},  {224, 8},  {232, 1},  {233, 1},  {234, 3},   {237, 8},   {245, 6},
    {251, 24}, {275, 2},  {277, 5},  {282, 24}, {306, 3},  {309, 1},  {310, 12},  {322, 1},   {323, 1},
    {324, 3},  {327, 3},  {330, 12}, {342, 1},  {343, 45}, {388, 17}, {405, 6},   {411, 3},
};

} // namespace

HeaderSlot headerFieldSlot(int field)
{
    if (field < 1 || field > kHeaderFieldCount)
        return {0, 0};
    return kSlots[field];
}

HeaderTable unpackHeaderTable(std::string_view record)
{
    HeaderTable table;
    for (int i = 1; i <= kHeaderFieldCount; ++i) {
        const HeaderSlot slot = kSlots[i];
        std::string text(records::mid(record, static_cast<std::size_t>(slot.position), static_cast<std::size_t>(slot.length)));
        if (!text.empty() && text.find_first_not_of('\0') == std::string::npos)
            text.assign(text.size(), ' ');
        table[static_cast<std::size_t>(i)] = records::toUpper(text);
    }
    return table;
}

std::string packHeaderRecord(const HeaderTable& header, char status)
{
    std::string record(kHeaderRecordLength, ' ');
    record[0] = status;
    for (int i = 1; i <= kHeaderFieldCount; ++i) {
        const HeaderSlot slot = kSlots[i];
        const std::string value
            = records::fitRight(header[static_cast<std::size_t>(i)], static_cast<std::size_t>(slot.length));
        record.replace(static_cast<std::size_t>(slot.position - 1), value.size(), value);
    }
    return record;
}

std::string packSecondHeaderRecord(char cuKind, std::string_view employeeCount, char status)
{
    std::string record(kHeaderRecordLength, ' ');
    record[0] = status;
    record[1] = cuKind;
    const std::string count = (std::string(4, ' ') + std::string(employeeCount)).substr(employeeCount.size());
    record.replace(2, 4, count);
    return record;
}

} // namespace payroll
