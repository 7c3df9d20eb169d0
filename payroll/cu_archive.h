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

// The same two tables as views of the characters of one archive record, for reading a
// certification without copying its 604 entries: valid while the record viewed is neither
// changed nor freed, and never copied, since an entry may view `replaced`. An entry that is
// given a new text after viewing (at most one) keeps it in `replaced`.
struct CuEntries {
    std::array<std::string_view, kCuFieldCount + 1> cu;
    std::array<std::string_view, kSecondCuFieldCount + 1> cu2;
    std::string replaced;
    // The record the views were taken from, when kEntryReadAhead characters can be read
    // past any of its positions (see viewReadRecord()); empty otherwise. A view that lies
    // in it may be read 16 characters at a time, whatever its length.
    std::string_view readable;

    CuEntries() = default;
    CuEntries(const CuEntries&) = delete;
    CuEntries& operator=(const CuEntries&) = delete;
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

// The same as views into `record`, which must outlive their use; entries that lie beyond
// the end of the text are empty or cut short as above. Index 0 and entry 49 are empty.
void viewArchiveRecord(std::string_view record, CuEntries& entries);
// Characters that can be read past the end of a record viewed with viewReadRecord().
inline constexpr std::size_t kEntryReadAhead = 16;
// The same for a record just read into `record`: kEntryReadAhead blanks are appended to it
// (they belong to no entry) and the views are marked as readable that far past their end.
void viewReadRecord(std::string& record, CuEntries& entries);
// Views of every entry of `fields`, which must outlive their use.
void viewFields(const CuFields& fields, CuEntries& entries);

// The reverse, for building archives (demo installation, tests): a 6000-character record
// with `status` in position 1 and every entry cut or filled with blanks to its width.
std::string packArchiveRecord(const CuFields& fields, char status = kInUse);

} // namespace payroll
