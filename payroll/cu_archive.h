#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "payroll/field_layout.h"

namespace payroll {

inline constexpr int kCuFieldCount = 500;
inline constexpr int kSecondCuFieldCount = 103;
inline constexpr int kArchiveRecordLength = 6000;

// The two text tables unpacked from one CU archive record (one employee's certification):
// CU k and CU2 k. Entries are the record's characters as cut out, blanks included;
// index 0, and entry 49 of the first table, belong to no field and stay empty.
struct CuFields {
    std::array<std::string, kCuFieldCount + 1> cu;
    std::array<std::string, kSecondCuFieldCount + 1> cu2;
};

// A run of consecutive entries of one length: entry k of a run that starts at entry
// `first` and position `position` (1-based) starts at position + (k - first) * length.
struct EntryRun {
    int first;
    int last;
    int length;
    int position;
};

std::span<const EntryRun> cuFieldLayout();
std::span<const EntryRun> secondCuFieldLayout();

struct EntrySlot {
    int position = 0; // 1-based; 0 for an entry that no field fills
    int length = 0;
};
EntrySlot cuFieldSlot(int entry);
EntrySlot secondCuFieldSlot(int entry);

// Copies every entry of both tables out of `record` (a record read from the archive). An
// entry that lies beyond the end of the text becomes empty, one that reaches past it is cut
// short. Entry 49 and index 0 are not touched.
void unpackArchiveRecord(std::string_view record, CuFields& fields);

// The reverse, for building archives (demo installation, tests): a 6000-character record
// with `status` in position 1 and every entry cut or filled with blanks to its width.
std::string packArchiveRecord(const CuFields& fields, char status = kInUse);

} // namespace payroll
