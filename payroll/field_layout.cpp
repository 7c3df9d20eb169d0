#include "payroll/field_layout.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "records/numeric.h"

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

FieldTable::FieldTable(const FieldLayout& layout, std::string_view record, int lastField)
{
    assign(layout, record, lastField);
}

namespace {

constexpr std::uint64_t kEachByte = 0x0101010101010101ULL;

// True when one of the eight bytes is below 32 (a control character).
bool hasControl(std::uint64_t eight)
{
    return ((eight - 32 * kEachByte) & ~eight & 0x80 * kEachByte) != 0;
}

// Control characters become blanks; eight bytes are looked at together, since most records
// hold none.
void blankControls(std::string& text)
{
    char* p = text.data();
    char* const end = p + text.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, p, sizeof eight);
        if (!hasControl(eight))
            continue;
        for (int k = 0; k < 8; ++k) {
            if (static_cast<unsigned char>(p[k]) < 32)
                p[k] = ' ';
        }
    }
    for (; p < end; ++p) {
        if (static_cast<unsigned char>(*p) < 32)
            *p = ' ';
    }
}

} // namespace

void FieldTable::assign(const FieldLayout& layout, std::string_view record, int lastField)
{
    m_text.assign(record);
    blankControls(m_text);
    const int count = std::min(lastField, layout.fieldCount());
    m_spans.assign(static_cast<std::size_t>(std::max(count, 0)) + 1, Span{});
    const std::size_t size = m_text.size();
    for (int k = 1; k <= count; ++k) {
        const FieldSlot slot = layout.slot(k);
        std::size_t begin = static_cast<std::size_t>(slot.position) - 1;
        if (begin >= size)
            continue;
        std::size_t end = std::min(size, begin + static_cast<std::size_t>(slot.length));
        while (begin < end && m_text[begin] == ' ')
            ++begin;
        while (end > begin && m_text[end - 1] == ' ')
            --end;
        m_spans[static_cast<std::size_t>(k)] = {static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end - begin)};
    }
}

double FieldTable::number(int field) const
{
    return records::numericValue((*this)[field]);
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
