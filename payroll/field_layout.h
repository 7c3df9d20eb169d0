#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Record layouts of the files that the payroll program prepares: numbered fields of fixed
// width at fixed positions of a fixed-length record, position 1 being the in-use marker.
namespace payroll {

inline constexpr char kInUse = '$';

// A run of consecutive fields of one width: field k of a run that starts at field `first`
// and at position `position` (1-based) starts at position + (k - first) * length.
struct FieldRun {
    int first;
    int last;
    int length;
    int position;
};

struct FieldSlot {
    int position = 0; // 1-based; 0 for a number that names no field
    int length = 0;
};

// The positions of the numbered fields of one record layout.
class FieldLayout {
public:
    FieldLayout(std::string_view name, int recordLength, std::span<const FieldRun> runs);

    const std::string& name() const { return m_name; }
    int recordLength() const { return m_recordLength; }
    int fieldCount() const { return static_cast<int>(m_slots.size()) - 1; }
    // Slot of field `field`; {0, 0} for a number outside 1..fieldCount().
    FieldSlot slot(int field) const;

private:
    std::string m_name;
    int m_recordLength;
    std::vector<FieldSlot> m_slots; // index 0 unused
};

// The fields of `record` exactly as stored, every byte kept, for a register that writes the
// record back; index 0 is empty. Fields past the end of a short record are cut short or empty.
std::vector<std::string> unpackRaw(const FieldLayout& layout, std::string_view record);

// A record of the layout's length: `status` in position 1, each field left-aligned and filled
// with blanks to its width, every other position a blank. `fields` is indexed by field number
// (index 0 is not used) and may hold fewer entries than the layout. A text longer than its
// field throws std::length_error naming the layout and the field, so that a slip in the data
// of a builder cannot go unnoticed.
std::string pack(const FieldLayout& layout, std::span<const std::string> fields, char status = kInUse);

// Puts the fields into `record` at their slots, filled with blanks to their widths, and
// leaves every other byte of it as it was (a record shorter than the layout is first filled
// with blanks). Throws as pack() does.
void store(const FieldLayout& layout, std::span<const std::string> fields, std::string& record);

} // namespace payroll
