#include "records/channels.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <limits>
#include <utility>
#include <unistd.h>

#include "records/file_errors.h"
#include "records/host_paths.h"
#include "records/prompter.h"
#include "records/text.h"

namespace records {

namespace {
std::string errorText(int errorNumber)
{
    return signedNumberText(errorNumber);
}
} // namespace

Channels::Channels(const PathMapper& paths, Prompter& prompter)
    : m_paths(paths)
    , m_prompter(prompter)
{
    m_fd.fill(-1);
}

Channels::~Channels()
{
    for (int n = kFirstChannel; n <= kLastChannel; ++n)
        closeFile(n);
}

Channel& Channels::channel(int number)
{
    if (number >= 0 && number <= kLastChannel)
        return m_table[static_cast<std::size_t>(number)];
    m_scratch = Channel{};
    return m_scratch;
}

const Channel& Channels::channel(int number) const
{
    if (number >= 0 && number <= kLastChannel)
        return m_table[static_cast<std::size_t>(number)];
    return m_scratch;
}

void Channels::select(int number, std::string fileName, int recordLength)
{
    m_current = number;
    Channel& slot = channel(number);
    slot.fileName = std::move(fileName);
    slot.recordLength = static_cast<std::int16_t>(recordLength);
}

std::string Channels::hostPath(int number) const
{
    return m_paths.hostPath(channel(number).fileName).string();
}

bool Channels::isOpen(int number) const
{
    return validFileNumber(number) && m_fd[static_cast<std::size_t>(number)] >= 0;
}

bool Channels::closeFile(int number)
{
    if (!validFileNumber(number))
        return true;
    int& fd = m_fd[static_cast<std::size_t>(number)];
    OutputFile& newFile = m_newFiles[static_cast<std::size_t>(number)].file;
    if (newFile.active()) {
        // A new file closed before it was given its name is left unfinished: it goes.
        newFile.discard();
        fd = -1;
        return true;
    }
    if (fd < 0)
        return true;
    const int result = ::close(fd);
    fd = -1;
    return result == 0;
}

void Channels::close(int number)
{
    closeFile(number);
}

void Channels::closeAll()
{
    for (int n = kFirstChannel; n <= kLastChannel; ++n)
        closeFile(n);
}

int Channels::beginOpen(int number, std::string& hostPath)
{
    if (!validFileNumber(number))
        return file_error::kBadFileNumber;
    closeFile(number);
    return mapFileName(channel(number), hostPath);
}

int Channels::mapFileName(const Channel& slot, std::string& hostPath) const
{
    hostPath.clear();
    if (hasControlCharacter(slot.fileName))
        return file_error::kBadFileName;
    hostPath = m_paths.hostPath(slot.fileName).string();
    return 0;
}

bool Channels::flush(int number)
{
    if (!isOpen(number))
        return true;
    if (::fdatasync(m_fd[static_cast<std::size_t>(number)]) != 0 && errno != EINVAL) {
        m_lastError = file_error::kDeviceIo;
        return false;
    }
    return true;
}

void Channels::startWriteback(int number)
{
    if (isOpen(number))
        startWritebackOf(m_fd[static_cast<std::size_t>(number)]);
}

int Channels::duplicateDescriptor(int number) const
{
    if (!isOpen(number))
        return -1;
    return ::fcntl(m_fd[static_cast<std::size_t>(number)], F_DUPFD_CLOEXEC, 0);
}

void Channels::fail(int errorNumber, const std::string& message)
{
    m_lastError = errorNumber;
    if (m_holdFailures) {
        m_heldFailure = {errorNumber, message};
        return;
    }
    m_prompter.message({}, message, Icon::None);
}

Failure Channels::takeHeldFailure()
{
    Failure held = std::move(m_heldFailure);
    m_heldFailure = {};
    return held;
}

void Channels::showFailure(const Failure& failure)
{
    m_lastError = failure.error;
    m_prompter.message({}, failure.message, Icon::None);
}

void Channels::openSequential()
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    const auto report = [&](int error) {
        fail(error, "Errore tipo " + errorText(error) + " nell'apertura del file sequenziale" + slot.fileName);
    };
    std::string path;
    if (const int error = beginOpen(number, path)) {
        report(error);
        return;
    }
    // A link planted under the name is refused, never written through; a FIFO or a device
    // under the name is no text file, and waiting for its reader would hang the program.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        report(file_error::fromErrno(errno, path.c_str()));
        return;
    }
    if (const int error = keepPlainFile(fd)) {
        report(error);
        return;
    }
    m_fd[static_cast<std::size_t>(number)] = fd;
}

void Channels::writeLine()
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    const auto report = [&](int error) {
        fail(error, "Errore di scrittura tipo " + errorText(error) + " nel file " + slot.fileName + " al record "
                 + signedNumberText(m_lineCounter));
    };
    if (!isOpen(number)) {
        report(file_error::kBadFileNumber);
        return;
    }
    const std::string line = slot.outputBuffer + "\r\n";
    const int fd = m_fd[static_cast<std::size_t>(number)];
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            report(file_error::fromErrno(errno, nullptr));
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void Channels::openBinary()
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    const auto report = [&](int error) {
        fail(error, "Errore tipo " + errorText(error) + " nell'apertura del  file binario" + slot.fileName);
    };
    std::string path;
    if (const int error = beginOpen(number, path)) {
        report(error);
        return;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    if (error == ENOENT) {
        // A missing file is created empty, and never through a link planted under its name:
        // a link that leads nowhere stays a missing file.
        fd = createExclusively(path);
        if (fd < 0 && errno == EEXIST) // a link to nothing, or a file made meanwhile
            fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        else if (fd < 0)
            error = errno;
    }
    if (fd < 0 && (error == EACCES || error == EROFS)) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        error = errno;
    }
    if (fd < 0) {
        report(file_error::fromErrno(error, path.c_str()));
        return;
    }
    m_fd[static_cast<std::size_t>(number)] = fd;
}

void Channels::openBinaryForReading()
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    const auto report = [&](int error) {
        fail(error, "Errore tipo " + errorText(error) + " nell'apertura del  file binario" + slot.fileName);
    };
    std::string path;
    if (const int error = beginOpen(number, path)) {
        report(error);
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        report(file_error::fromErrno(errno, path.c_str()));
        return;
    }
    if (const int error = keepPlainFile(fd)) {
        report(error);
        return;
    }
    m_fd[static_cast<std::size_t>(number)] = fd;
}

int Channels::keepPlainFile(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return file_error::kPathFileAccess;
    }
    // Reads and writes of a plain file wait for the disk as they always did.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return 0;
}

void Channels::createFile()
{
    m_lastError = 0;
    const int number = m_current;
    const auto report = [&](int error) {
        fail(error, "Errore tipo " + errorText(error) + " nella creazione del file ");
    };
    std::string path;
    if (const int error = beginOpen(number, path)) {
        report(error);
        return;
    }
    // The empty file takes the place of whatever had the name (an earlier file, a link, a
    // FIFO) all at once; it is never written through a link.
    OutputFile file;
    if (const int error = file.create(path)) {
        report(file_error::fromErrno(error, path.c_str()));
        return;
    }
    if (const OutputFile::Outcome outcome = file.commit(); outcome.error != 0)
        report(file_error::fromErrno(outcome.error, path.c_str()));
}

void Channels::openNewBinary()
{
    openNew(false);
}

void Channels::openNewSequential()
{
    openNew(true);
}

void Channels::openNew(bool sequential)
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    const auto report = [&](int error) {
        if (sequential)
            fail(error, "Errore tipo " + errorText(error) + " nell'apertura del file sequenziale" + slot.fileName);
        else
            fail(error, "Errore tipo " + errorText(error) + " nella creazione del file ");
    };
    std::string path;
    if (const int error = beginOpen(number, path)) {
        report(error);
        return;
    }
    NewFile& newFile = m_newFiles[static_cast<std::size_t>(number)];
    if (const int error = newFile.file.create(path)) {
        report(file_error::fromErrno(error, path.c_str()));
        return;
    }
    newFile.sequential = sequential;
    m_fd[static_cast<std::size_t>(number)] = newFile.file.descriptor();
}

bool Channels::commitNewFile(int number)
{
    m_lastError = 0;
    const Channel& slot = channel(number);
    const bool sequential = validFileNumber(number) && m_newFiles[static_cast<std::size_t>(number)].sequential;
    const auto reportWrite = [&](int error) {
        if (sequential)
            fail(error, "Errore di scrittura tipo " + errorText(error) + " nel file " + slot.fileName + " al record "
                     + signedNumberText(m_lineCounter));
        else
            fail(error, "Errore di scrittura tipo " + errorText(error) + " nel file binario " + slot.fileName
                     + " al record " + signedNumberText(m_recordNumber));
    };
    if (!holdsNewFile(number)) {
        reportWrite(file_error::kBadFileNumber);
        return false;
    }
    OutputFile& newFile = m_newFiles[static_cast<std::size_t>(number)].file;
    const std::string target = newFile.target().string();
    const OutputFile::Outcome outcome = newFile.commit();
    m_fd[static_cast<std::size_t>(number)] = -1;
    if (outcome.error == 0)
        return true;
    if (outcome.step == OutputFile::Step::Rename) {
        const int error = file_error::fromErrno(outcome.error, target.c_str());
        fail(error, "Errore tipo " + errorText(error) + " nella creazione del file " + slot.fileName);
    } else {
        reportWrite(file_error::fromErrno(outcome.error, nullptr));
    }
    return false;
}

void Channels::discardNewFile(int number)
{
    closeFile(number);
}

bool Channels::holdsNewFile(int number) const
{
    return validFileNumber(number) && m_newFiles[static_cast<std::size_t>(number)].file.active();
}

std::string Channels::newFileHostPath(int number) const
{
    if (!holdsNewFile(number))
        return {};
    return m_newFiles[static_cast<std::size_t>(number)].file.temporaryPath().string();
}

void Channels::readRecord()
{
    transfer(Transfer::Read);
}

void Channels::writeRecord()
{
    transfer(Transfer::Write);
}

void Channels::getRecord()
{
    transfer(Transfer::Get);
}

void Channels::transfer(Transfer kind)
{
    m_lastError = 0;
    const int number = m_current;
    Channel& slot = channel(number);
    const auto report = [&](int error) {
        std::string text;
        switch (kind) {
        case Transfer::Read:
            text = "Errore di lettura tipo " + errorText(error) + " nel file binario ";
            break;
        case Transfer::Write:
            text = "Errore di scrittura tipo " + errorText(error) + " nel file binario ";
            break;
        case Transfer::Get:
            text = "Errore di lettura tipo " + errorText(error) + " nel file ";
            break;
        }
        // A failed read leaves the record buffer empty.
        if (kind != Transfer::Write)
            slot.recordBuffer.clear();
        fail(error, text + slot.fileName + " al record " + signedNumberText(m_recordNumber));
    };
    const bool reading = kind != Transfer::Write;

    if (!isOpen(number)) {
        report(file_error::kBadFileNumber);
        return;
    }
    const int length = slot.recordLength;
    if (length <= 0) {
        report(file_error::kBadRecordLength);
        return;
    }

    // The position is computed in floating point and rounded half to even to a 32-bit
    // whole number: the payroll suite addresses its record files with this arithmetic, so a
    // record number reaches the same bytes here as in its other programs. A position that
    // cannot be reached stops the transfer: reading or writing "wherever the file happens
    // to be" would hand out, or overwrite, somebody else's record.
    const double position = std::nearbyint(m_recordNumber * length - length + 1);
    if (!(position >= std::numeric_limits<std::int32_t>::min() && position <= std::numeric_limits<std::int32_t>::max())) {
        report(file_error::kOverflow);
        return;
    }
    if (position < 1) {
        report(file_error::kBadRecordNumber);
        return;
    }
    const auto offset = static_cast<off_t>(position) - 1;
    const int fd = m_fd[static_cast<std::size_t>(number)];

    if (reading) {
        // The previous record's bytes are overwritten (a buffer of another length is resized
        // first); on a failure the buffer is emptied.
        slot.recordBuffer.resize(static_cast<std::size_t>(length));
        std::size_t done = 0;
        while (done < slot.recordBuffer.size()) {
            const ssize_t n = ::pread(fd, slot.recordBuffer.data() + done, slot.recordBuffer.size() - done,
                                      offset + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int error = n == 0 ? file_error::kInputPastEnd : file_error::fromErrno(errno, nullptr);
                report(error);
                return;
            }
            done += static_cast<std::size_t>(n);
        }
        return;
    }

    const int error = writeAllAt(fd, slot.outputBuffer, offset);
    // A file that could only be opened for reading refuses the write: an access error.
    if (error != 0)
        report(error == EBADF ? file_error::kPathFileAccess : file_error::fromErrno(error, nullptr));
}

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
