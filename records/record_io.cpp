#include "records/record_io.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

#include "records/file_errors.h"
#include "records/prompter.h"
#include "records/text.h"

namespace records {

void showFailure(Prompter& prompter, const FileResult& result)
{
    if (result.failed())
        prompter.message({}, result.message, Icon::None);
}

void showFailures(Prompter& prompter, const std::vector<FileResult>& results)
{
    for (const FileResult& result : results)
        showFailure(prompter, result);
}

namespace file_message {

namespace {
std::string errorText(int error)
{
    return signedNumberText(error);
}
} // namespace

std::string openSequential(int error, std::string_view fileName)
{
    return "Errore tipo " + errorText(error) + " nell'apertura del file sequenziale" + std::string(fileName);
}

std::string writeLine(int error, std::string_view fileName, double lineNumber)
{
    return "Errore di scrittura tipo " + errorText(error) + " nel file " + std::string(fileName) + " al record "
        + signedNumberText(lineNumber);
}

std::string openBinary(int error, std::string_view fileName)
{
    return "Errore tipo " + errorText(error) + " nell'apertura del  file binario" + std::string(fileName);
}

std::string createFile(int error)
{
    return "Errore tipo " + errorText(error) + " nella creazione del file ";
}

std::string nameNewFile(int error, std::string_view fileName)
{
    return createFile(error) + std::string(fileName);
}

std::string readRecord(int error, std::string_view fileName, double recordNumber)
{
    return "Errore di lettura tipo " + errorText(error) + " nel file binario " + std::string(fileName) + " al record "
        + signedNumberText(recordNumber);
}

std::string writeRecord(int error, std::string_view fileName, double recordNumber)
{
    return "Errore di scrittura tipo " + errorText(error) + " nel file binario " + std::string(fileName)
        + " al record " + signedNumberText(recordNumber);
}

std::string lookUpRecord(int error, std::string_view fileName, double recordNumber)
{
    return "Errore di lettura tipo " + errorText(error) + " nel file " + std::string(fileName) + " al record "
        + signedNumberText(recordNumber);
}

} // namespace file_message

namespace record_io {

namespace {

// The byte offset of record `recordNumber`, or the error number that refuses it. The
// position (n - 1) * L + 1 must be a 32-bit whole number, as in the payroll suite's other
// programs, so a record number reaches the same bytes here as there. A position that cannot
// be reached stops the transfer: reading or writing "wherever the file happens to be" would
// hand out, or overwrite, somebody else's record.
int recordOffset(int descriptor, int recordLength, std::int64_t recordNumber, off_t& offset)
{
    if (descriptor < 0)
        return file_error::kBadFileNumber;
    if (recordLength <= 0)
        return file_error::kBadRecordLength;
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    // With a length of 1 or more the position lies at least as far from 1 as the number
    // does: a number beyond 32 bits gives a position beyond them, and one within them a
    // position that 64 bits hold.
    if (recordNumber < lowest || recordNumber > highest)
        return file_error::kOverflow;
    const std::int64_t position = (recordNumber - 1) * recordLength + 1;
    if (position < lowest || position > highest)
        return file_error::kOverflow;
    if (position < 1)
        return file_error::kBadRecordNumber;
    offset = static_cast<off_t>(position) - 1;
    return 0;
}

} // namespace

FileResult readRecord(int descriptor, std::string_view fileName, int recordLength, std::int64_t recordNumber,
                      std::string& record, ReadKind kind)
{
    const auto failure = [&](int error) {
        record.clear();
        const auto number = static_cast<double>(recordNumber);
        return FileResult{error, kind == ReadKind::LookUp ? file_message::lookUpRecord(error, fileName, number)
                                                          : file_message::readRecord(error, fileName, number)};
    };
    off_t offset = 0;
    if (const int error = recordOffset(descriptor, recordLength, recordNumber, offset))
        return failure(error);
    // The previous record's bytes are overwritten (a buffer of another length is resized
    // first); on a failure the buffer is emptied.
    record.resize(static_cast<std::size_t>(recordLength));
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t n = ::pread(descriptor, record.data() + done, record.size() - done,
                                  offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failure(n == 0 ? file_error::kInputPastEnd : file_error::fromErrno(errno, nullptr));
        done += static_cast<std::size_t>(n);
    }
    return {};
}

FileResult writeRecord(int descriptor, std::string_view fileName, int recordLength, std::int64_t recordNumber,
                       std::string_view bytes)
{
    const auto failure = [&](int error) {
        return FileResult{error, file_message::writeRecord(error, fileName, static_cast<double>(recordNumber))};
    };
    off_t offset = 0;
    if (const int error = recordOffset(descriptor, recordLength, recordNumber, offset))
        return failure(error);
    const int error = writeAllAt(descriptor, bytes, offset);
    // A file that could only be opened for reading refuses the write: an access error.
    if (error != 0)
        return failure(error == EBADF ? file_error::kPathFileAccess : file_error::fromErrno(error, nullptr));
    return {};
}

FileResult writeText(int descriptor, std::string_view fileName, std::int64_t lineNumber, std::string_view bytes)
{
    const auto failure = [&](int error) {
        return FileResult{error, file_message::writeLine(error, fileName, static_cast<double>(lineNumber))};
    };
    if (descriptor < 0)
        return failure(file_error::kBadFileNumber);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return failure(file_error::fromErrno(errno, nullptr));
        if (n == 0) // a file that takes no byte more: as full as a full disk
            return failure(file_error::kDiskFull);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace record_io

int writeAllAt(int descriptor, std::string_view bytes, std::int64_t offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(descriptor, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

void startWritebackOf(int descriptor)
{
#if defined(__linux__)
    ::sync_file_range(descriptor, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)descriptor;
#endif
}

} // namespace records
