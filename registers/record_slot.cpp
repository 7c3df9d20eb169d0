#include "registers/record_slot.h"

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

#include "records/record_file.h"
#include "records/record_io.h"

namespace registers {

RecordSlot::RecordSlot(records::RecordFile& file, std::int64_t recordNumber)
    : m_file(file)
    , m_recordNumber(recordNumber)
{
    const long long length = file.recordLength();
    m_offset = (recordNumber - 1) * length;
    m_descriptor = file.duplicateDescriptor();
    struct stat status { };
    if (m_descriptor < 0 || length <= 0 || m_offset < 0 || ::fstat(m_descriptor, &status) != 0)
        return;
    m_known = true;
    m_fileLength = status.st_size;
    if (m_offset < status.st_size) {
        m_bytes.resize(static_cast<std::size_t>(std::min<long long>(length, status.st_size - m_offset)));
        const ssize_t n = ::pread(m_descriptor, m_bytes.data(), m_bytes.size(), static_cast<off_t>(m_offset));
        m_bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    }
}

RecordSlot::~RecordSlot()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

records::FileResult RecordSlot::write(std::string_view record)
{
    records::FileResult result = m_file.write(m_recordNumber, record);
    if (result.ok())
        return result;
    // A write that stopped half way would leave a record that is neither the old one nor the
    // new one: the old bytes go back before the operator is told.
    if (m_known) {
        records::writeAllAt(m_descriptor, m_bytes, m_offset);
        struct stat status { };
        if (::fstat(m_descriptor, &status) == 0 && status.st_size > m_fileLength)
            (void)::ftruncate(m_descriptor, static_cast<off_t>(m_fileLength));
    }
    return result;
}

} // namespace registers
