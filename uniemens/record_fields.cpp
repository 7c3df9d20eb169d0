#include "uniemens/record_fields.h"

#include <algorithm>
#include <cstring>

#include "payroll/field_layout.h"
#include "records/numeric.h"

namespace uniemens {

RecordFields::RecordFields(const payroll::FieldLayout& layout, int lastField)
{
    const int count = std::max(0, std::min(lastField, layout.fieldCount()));
    m_slots.resize(static_cast<std::size_t>(count) + 1);
    for (int k = 1; k <= count; ++k) {
        const payroll::FieldSlot slot = layout.slot(k);
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

RecordFields::RecordFields(const payroll::FieldLayout& layout, std::string_view record, int lastField)
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

void RecordFields::cut(std::size_t k) const
{
    mark(m_textKnown, k);
    const std::size_t size = m_record.size();
    std::size_t begin = m_slots[k].begin;
    std::size_t end = std::min<std::size_t>(size, m_slots[k].end);
    if (begin >= end) {
        m_texts[k] = {};
        return;
    }
    const auto blank = [&](std::size_t at) { return static_cast<unsigned char>(m_record[at]) <= ' '; };
    while (begin < end && blank(begin))
        ++begin;
    while (end > begin && blank(end - 1))
        --end;
    // A control character inside the text reads as a blank: the text is then taken from a
    // copy of the field's bytes with blanks in their place.
    const char* const text = m_record.data() + begin;
    const std::size_t length = end - begin;
    bool control = false;
    for (std::size_t i = 0; i < length; ++i)
        control |= static_cast<unsigned char>(text[i]) < ' ';
    if (!control) {
        m_texts[k] = std::string_view(text, length);
        return;
    }
    char* const copy = m_blanked.data() + begin;
    for (std::size_t i = 0; i < length; ++i)
        copy[i] = static_cast<unsigned char>(text[i]) < ' ' ? ' ' : text[i];
    m_texts[k] = std::string_view(copy, length);
}

void RecordFields::read(std::size_t k) const
{
    mark(m_numberKnown, k);
    m_numbers[k] = records::numericValue((*this)[static_cast<int>(k)]);
}

} // namespace uniemens
