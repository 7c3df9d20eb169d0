#include "payroll/field_layout.h"

#include <algorithm>
#include <stdexcept>

namespace payroll {

FieldLayout::FieldLayout(std::string_view name, int recordLength, std::span<const FieldRun> runs)
    : m_name(name)
    , m_recordLength(recordLength)
{
    int count = 0;
    for (const FieldRun& run : runs)
        count = std::max(count, run.last);
    m_slots.resize(static_cast<std::size_t>(count) + 1);
    for (const FieldRun& run : runs) {
        for (int k = run.first; k <= run.last; ++k)
            m_slots[static_cast<std::size_t>(k)] = {run.position + (k - run.first) * run.length, run.length};
    }
}

FieldSlot FieldLayout::slot(int field) const
{
    if (field < 1 || field >= static_cast<int>(m_slots.size()))
        return {};
    return m_slots[static_cast<std::size_t>(field)];
}

std::vector<std::string> unpackRaw(const FieldLayout& layout, std::string_view record)
{
    std::vector<std::string> fields(static_cast<std::size_t>(layout.fieldCount()) + 1);
    for (int k = 1; k <= layout.fieldCount(); ++k) {
        const FieldSlot slot = layout.slot(k);
        const auto begin = static_cast<std::size_t>(slot.position) - 1;
        if (begin < record.size())
            fields[static_cast<std::size_t>(k)] = std::string(record.substr(begin, static_cast<std::size_t>(slot.length)));
    }
    return fields;
}

void store(const FieldLayout& layout, std::span<const std::string> fields, std::string& record)
{
    if (record.size() < static_cast<std::size_t>(layout.recordLength()))
        record.resize(static_cast<std::size_t>(layout.recordLength()), ' ');
    const int count = std::min(layout.fieldCount(), static_cast<int>(fields.size()) - 1);
    for (int k = 1; k <= count; ++k) {
        const FieldSlot slot = layout.slot(k);
        const std::string& text = fields[static_cast<std::size_t>(k)];
        const auto width = static_cast<std::size_t>(slot.length);
        if (text.size() > width) {
            throw std::length_error(layout.name() + " field " + std::to_string(k) + " \"" + text + "\" is longer than "
                                    + std::to_string(width) + " characters");
        }
        const auto begin = static_cast<std::size_t>(slot.position) - 1;
        record.replace(begin, text.size(), text);
        record.replace(begin + text.size(), width - text.size(), width - text.size(), ' ');
    }
}

std::string pack(const FieldLayout& layout, std::span<const std::string> fields, char status)
{
    std::string record(static_cast<std::size_t>(layout.recordLength()), ' ');
    record[0] = status;
    store(layout, fields, record);
    return record;
}

} // namespace payroll
