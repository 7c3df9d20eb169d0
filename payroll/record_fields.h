#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace payroll {

class FieldLayout;

// The fields of one record as the UniEmens writers and the registers read them, taken from the record only when
// a writer asks for them: characters with codes 0 to 31 (the NULs of areas the payroll program
// never wrote, stray tabs) count as blanks, and every field is stripped of leading and
// trailing blanks. Fields past the end of a short record are cut short or empty; fields past
// `lastField` and numbers outside the layout are empty. A declaration reads a few of the
// hundreds of fields of most records, and reads some of them several times: each field is
// cut out, and its numeric value read, once per record at most.
//
// The record is not copied: it must stay as it is until the next reset().
class RecordFields {
public:
    explicit RecordFields(const FieldLayout& layout, int lastField = 0x7fff);
    RecordFields(const FieldLayout& layout, std::string_view record, int lastField = 0x7fff);

    // Reads `record` from now on.
    void reset(std::string_view record);

    // Fields 1 to fieldCount() are read; any other number reads as empty.
    int fieldCount() const { return static_cast<int>(m_slots.size()) - 1; }
    // The stripped text of field `field`.
    std::string_view operator[](int field) const
    {
        const auto k = static_cast<std::size_t>(field);
        if (k >= m_slots.size())
            return {};
        if (!isKnown(m_textKnown, k))
            cut(k);
        return m_texts[k];
    }
    // The numeric value of the field's stripped text (records::numericValue).
    double number(int field) const
    {
        const auto k = static_cast<std::size_t>(field);
        if (k >= m_slots.size())
            return 0;
        if (!isKnown(m_numberKnown, k))
            read(k);
        return m_numbers[k];
    }

    // Whether the numeric value of the field is above zero (records::isAboveZero): a plain
    // text of digits with at most one full stop is judged without reading its value.
    bool positive(int field) const
    {
        const auto k = static_cast<std::size_t>(field);
        if (k >= m_slots.size())
            return false;
        if (isKnown(m_numberKnown, k))
            return m_numbers[k] > 0;
        return positiveText(k);
    }

private:
    struct Slot {
        std::uint32_t begin = 0; // 0-based
        std::uint32_t end = 0;
    };
    static bool isKnown(const std::vector<std::uint64_t>& marks, std::size_t k)
    {
        return (marks[k / 64] >> (k % 64) & 1) != 0;
    }
    static void mark(std::vector<std::uint64_t>& marks, std::size_t k) { marks[k / 64] |= std::uint64_t{1} << (k % 64); }
    void cut(std::size_t k) const;
    void read(std::size_t k) const;
    bool positiveText(std::size_t k) const;

    std::vector<Slot> m_slots; // index 0 and fields past the last one read nothing
    std::string_view m_record;
    mutable std::string m_blanked; // fields with a control character, at their record positions
    mutable std::vector<std::string_view> m_texts;
    mutable std::vector<double> m_numbers;
    mutable std::vector<std::uint64_t> m_textKnown;
    mutable std::vector<std::uint64_t> m_numberKnown;
};

} // namespace payroll
