#include "payroll/record_fields.h"

#include <algorithm>

#include "payroll/field_layout.h"
#include "records/eight_bytes.h"
#include "records/numeric.h"

namespace payroll {

RecordFields::RecordFields(const FieldLayout& layout, int lastField)
{
    const int count = std::max(0, std::min(lastField, layout.fieldCount()));
    m_slots.resize(static_cast<std::size_t>(count) + 1);
    for (int k = 1; k <= count; ++k) {
        const FieldSlot slot = layout.slot(k);
        m_slots[static_cast<std::size_t>(k)]
            = {static_cast<std::uint32_t>(slot.position - 1), static_cast<std::uint32_t>(slot.position - 1 + slot.length)};
    }
    m_texts.resize(m_slots.size());
    m_numbers.resize(m_slots.size());
    m_textKnown.resize((m_slots.size() + 63) / 64);
    m_numberKnown.resize(m_textKnown.size());
    // Field 0 names nothing: it is known to be empty.
    mark(m_textKnown, 0);
    mark(m_numberKnown, 0);
}

RecordFields::RecordFields(const FieldLayout& layout, std::string_view record, int lastField)
    : RecordFields(layout, lastField)
{
    reset(record);
}

void RecordFields::reset(std::string_view record)
{
    m_record = record;
    if (m_blanked.size() < record.size())
        m_blanked.resize(record.size());
    std::fill(m_textKnown.begin(), m_textKnown.end(), 0);
    std::fill(m_numberKnown.begin(), m_numberKnown.end(), 0);
    mark(m_textKnown, 0);
    mark(m_numberKnown, 0);
}

namespace {

namespace bytes = records::eight_bytes;

// True when one of the bytes from `begin` to `end` of `record` is a control character;
// eight at a time, the last eight overlapping those before them. A field of fewer than
// eight bytes is looked at here only when it lies in the record's first eight bytes: the
// caller looks at the others in the eight bytes that end them.
bool controlIn(const char* record, std::size_t begin, std::size_t end)
{
    if (end - begin >= 8) {
        for (std::size_t at = begin; at + 8 < end; at += 8) {
            if (bytes::hasControl(bytes::at(record + at)))
                return true;
        }
        return bytes::hasControl(bytes::at(record + end - 8));
    }
    for (std::size_t at = begin; at < end; ++at) {
        if (static_cast<unsigned char>(record[at]) < ' ')
            return true;
    }
    return false;
}

bool blank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

void RecordFields::cut(std::size_t k) const
{
    mark(m_textKnown, k);
    const char* const record = m_record.data();
    const std::size_t size = m_record.size();
    std::size_t begin = m_slots[k].begin;
    std::size_t end = std::min<std::size_t>(size, m_slots[k].end);
    if (begin >= end) {
        m_texts[k] = {};
        return;
    }
    // A field shorter than eight bytes is looked at in the eight bytes that end it.
    if (end - begin < 8 && end >= 8) {
        const std::uint64_t eight = bytes::at(record + end - 8);
        const std::uint64_t inField = ~std::uint64_t{0} << 8 * (8 - (end - begin));
        if (!bytes::hasControl(eight | (~inField & 0x4040404040404040ULL))) {
            const std::uint64_t found = bytes::notBlanks(eight) & inField;
            if (found == 0) {
                m_texts[k] = {};
                return;
            }
            const std::size_t first = end - 8 + static_cast<std::size_t>(__builtin_ctzll(found)) / 8;
            const std::size_t last = end - static_cast<std::size_t>(__builtin_clzll(found)) / 8;
            m_texts[k] = std::string_view(record + first, last - first);
            return;
        }
    } else if (!controlIn(record, begin, end)) {
        // Only blanks to strip: texts stand at the left of their fields, so the blanks after
        // them are found eight at a time from the end.
        while (end - begin >= 8) {
            const std::uint64_t found = bytes::notBlanks(bytes::at(record + end - 8));
            if (found != 0) {
                end -= static_cast<std::size_t>(__builtin_clzll(found)) / 8;
                break;
            }
            end -= 8;
        }
        if (end - begin < 8) {
            while (end > begin && record[end - 1] == ' ')
                --end;
        }
        while (end - begin >= 8) {
            const std::uint64_t found = bytes::notBlanks(bytes::at(record + begin));
            if (found != 0) {
                begin += static_cast<std::size_t>(__builtin_ctzll(found)) / 8;
                break;
            }
            begin += 8;
        }
        while (begin < end && record[begin] == ' ')
            ++begin;
        m_texts[k] = std::string_view(record + begin, end - begin);
        return;
    }
    // A control character reads as a blank: the text is taken from a copy of the field's
    // bytes with blanks in their place.
    while (end > begin && blank(record[end - 1]))
        --end;
    while (begin < end && blank(record[begin]))
        ++begin;
    char* const copy = m_blanked.data() + begin;
    for (std::size_t i = begin; i < end; ++i)
        copy[i - begin] = blank(record[i]) ? ' ' : record[i];
    m_texts[k] = std::string_view(copy, end - begin);
}

void RecordFields::read(std::size_t k) const
{
    mark(m_numberKnown, k);
    m_numbers[k] = records::numericValue((*this)[static_cast<int>(k)]);
}

bool RecordFields::positiveText(std::size_t k) const
{
    bool above = false;
    if (records::plainAboveZero((*this)[static_cast<int>(k)], above))
        return above;
    return number(static_cast<int>(k)) > 0;
}

} // namespace payroll
