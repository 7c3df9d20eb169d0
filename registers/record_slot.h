#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "records/file_result.h"

namespace records {
class RecordFile;
} // namespace records

namespace registers {

// One record slot of an open record file, written in place: a register changes one record
// and must never leave a neighbour, or the record itself, half written. The bytes the slot
// holds are remembered first; when the write fails they are put back (and a file that grew
// is cut back to its length) before the failure is handed back, so the operator is told of
// a failure that changed nothing.
class RecordSlot {
public:
    // Looks at record `recordNumber` (a whole number from 1 up) of `file`, which is open and
    // outlives the slot.
    RecordSlot(records::RecordFile& file, std::int64_t recordNumber);
    ~RecordSlot();
    RecordSlot(const RecordSlot&) = delete;
    RecordSlot& operator=(const RecordSlot&) = delete;

    // False when the file could not be looked at: a failed write then cannot be undone.
    bool known() const { return m_known; }
    // What the file holds of the slot: the whole record, a part of it where the file ends
    // inside it, nothing past its end.
    const std::string& bytesBefore() const { return m_bytes; }

    // Writes `record` at the slot, showing nothing. The file's failure (error 0 when
    // written) when it could not be written; the file is then as it was.
    records::FileResult write(std::string_view record);

private:
    records::RecordFile& m_file;
    std::int64_t m_recordNumber;
    long long m_offset = 0;
    int m_descriptor = -1;
    bool m_known = false;
    std::string m_bytes;
    long long m_fileLength = 0;
};

} // namespace registers
