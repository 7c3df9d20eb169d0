#include "records/record_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "records/cp1252.h"
#include "records/file_errors.h"
#include "records/host_paths.h"
#include "records/output_file.h"
#include "records/record_io.h"

namespace records {

namespace {

// The host path of `name`: 0, or the error number that refuses the name (52 without a path
// mapper, 64 for a control character in it).
int mapName(const PathMapper* paths, const std::string& name, std::string& hostPath)
{
    hostPath.clear();
    if (paths == nullptr)
        return file_error::kBadFileNumber;
    if (hasControlCharacter(name))
        return file_error::kBadFileName;
    hostPath = paths->hostPath(name).string();
    return 0;
}

// Keeps `fd` when it is open on a plain file and makes its reads and writes wait again;
// otherwise closes it and returns error 75.
int keepPlainFile(int fd)
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

int duplicate(int fd)
{
    return fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
}

void closeDescriptor(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

std::filesystem::path mapped(const PathMapper* paths, const std::string& name)
{
    return paths == nullptr ? std::filesystem::path() : paths->hostPath(name);
}

// The number of the last record that `bytes` written at record `recordNumber` reach.
std::int64_t lastRecordReached(std::int64_t recordNumber, std::size_t bytes, int recordLength)
{
    if (bytes == 0 || recordLength <= 0)
        return recordNumber;
    const auto records = static_cast<std::int64_t>((bytes + static_cast<std::size_t>(recordLength) - 1)
                                                   / static_cast<std::size_t>(recordLength));
    return recordNumber + records - 1;
}

} // namespace

// ---- RecordFile

RecordFile::RecordFile(const PathMapper& paths, std::string name, int recordLength)
    : m_paths(&paths)
    , m_name(std::move(name))
    , m_recordLength(recordLength)
{
}

RecordFile::~RecordFile()
{
    close();
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : m_paths(other.m_paths)
    , m_name(std::move(other.m_name))
    , m_recordLength(other.m_recordLength)
    , m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept
{
    if (this != &other) {
        close();
        m_paths = other.m_paths;
        m_name = std::move(other.m_name);
        m_recordLength = other.m_recordLength;
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

std::filesystem::path RecordFile::hostPath() const
{
    return mapped(m_paths, m_name);
}

FileResult RecordFile::open()
{
    close();
    const auto failure = [&](int error) { return FileResult{error, file_message::openBinary(error, m_name)}; };
    std::string path;
    if (const int error = mapName(m_paths, m_name, path))
        return failure(error);
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
    if (fd < 0)
        return failure(file_error::fromErrno(error, path.c_str()));
    m_descriptor = fd;
    return {};
}

FileResult RecordFile::openForReading()
{
    close();
    const auto failure = [&](int error) { return FileResult{error, file_message::openBinary(error, m_name)}; };
    std::string path;
    if (const int error = mapName(m_paths, m_name, path))
        return failure(error);
    // A FIFO or a device under the name is no record file, and waiting for its writer would
    // hang the program: the open does not wait, and only a plain file is kept.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(file_error::fromErrno(errno, path.c_str()));
    if (const int error = keepPlainFile(fd))
        return failure(error);
    m_descriptor = fd;
    return {};
}

FileResult RecordFile::create()
{
    close();
    const auto failure = [&](int error) { return FileResult{error, file_message::createFile(error)}; };
    std::string path;
    if (const int error = mapName(m_paths, m_name, path))
        return failure(error);
    // The empty file takes the place of whatever had the name (an earlier file, a link, a
    // FIFO) all at once; it is never written through a link.
    OutputFile file;
    if (const int error = file.create(path))
        return failure(file_error::fromErrno(error, path.c_str()));
    if (const OutputFile::Outcome outcome = file.commit(); outcome.error != 0)
        return failure(file_error::fromErrno(outcome.error, path.c_str()));
    return {};
}

FileResult RecordFile::read(std::int64_t recordNumber, std::string& record) const
{
    return record_io::readRecord(m_descriptor, m_name, m_recordLength, recordNumber, record);
}

FileResult RecordFile::lookUp(std::int64_t recordNumber, std::string& record) const
{
    return record_io::readRecord(m_descriptor, m_name, m_recordLength, recordNumber, record,
                                 record_io::ReadKind::LookUp);
}

FileResult RecordFile::readRecords(std::int64_t first, std::int64_t count, std::string& records) const
{
    records.clear();
    std::string record;
    std::int64_t whole = 0;
    while (whole < count) {
        // One record alone: its position is checked as any record's, and when it cannot be
        // read its own failure is the one to report.
        if (FileResult result = read(first + whole, record); result.failed())
            return result;
        records += record;
        if (++whole == count)
            break;
        // The records after it, as far as the file goes, in one read.
        const auto length = static_cast<std::size_t>(m_recordLength);
        const std::size_t wanted = static_cast<std::size_t>(count - whole) * length;
        const std::size_t start = records.size();
        const auto offset = static_cast<off_t>(first - 1 + whole) * m_recordLength;
        records.resize(start + wanted);
        std::size_t got = 0;
        while (got < wanted) {
            const ssize_t n = ::pread(m_descriptor, records.data() + start + got, wanted - got,
                                      offset + static_cast<off_t>(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        records.resize(start + got - got % length);
        whole += static_cast<std::int64_t>(got / length);
    }
    return {};
}

FileResult RecordFile::write(std::int64_t recordNumber, std::string_view bytes)
{
    return record_io::writeRecord(m_descriptor, m_name, m_recordLength, recordNumber, bytes);
}

void RecordFile::close()
{
    closeDescriptor(m_descriptor);
}

int RecordFile::duplicateDescriptor() const
{
    return duplicate(m_descriptor);
}

// ---- TextFile

TextFile::TextFile(const PathMapper& paths, std::string name)
    : m_paths(&paths)
    , m_name(std::move(name))
{
}

TextFile::~TextFile()
{
    close();
}

TextFile::TextFile(TextFile&& other) noexcept
    : m_paths(other.m_paths)
    , m_name(std::move(other.m_name))
    , m_descriptor(std::exchange(other.m_descriptor, -1))
    , m_lineCount(other.m_lineCount)
{
}

TextFile& TextFile::operator=(TextFile&& other) noexcept
{
    if (this != &other) {
        close();
        m_paths = other.m_paths;
        m_name = std::move(other.m_name);
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_lineCount = other.m_lineCount;
    }
    return *this;
}

std::filesystem::path TextFile::hostPath() const
{
    return mapped(m_paths, m_name);
}

FileResult TextFile::open()
{
    close();
    m_lineCount = 0;
    const auto failure = [&](int error) { return FileResult{error, file_message::openSequential(error, m_name)}; };
    std::string path;
    if (const int error = mapName(m_paths, m_name, path))
        return failure(error);
    // A link planted under the name is refused, never written through; a FIFO or a device
    // under the name is no text file, and waiting for its reader would hang the program.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return failure(file_error::fromErrno(errno, path.c_str()));
    if (const int error = keepPlainFile(fd))
        return failure(error);
    m_descriptor = fd;
    return {};
}

FileResult TextFile::writeLine(std::string_view line)
{
    ++m_lineCount;
    std::string bytes;
    bytes.reserve(line.size() + 2);
    bytes.append(line);
    bytes.append("\r\n");
    return record_io::writeText(m_descriptor, m_name, m_lineCount, bytes);
}

FileResult TextFile::writeLines(std::string_view lines, std::int64_t count)
{
    m_lineCount += count;
    return record_io::writeText(m_descriptor, m_name, m_lineCount, lines);
}

void TextFile::close()
{
    closeDescriptor(m_descriptor);
}

// ---- NewFile

NewFile::NewFile() = default;
NewFile::~NewFile()
{
    discard();
}
NewFile::NewFile(NewFile&& other) noexcept = default;

NewFile& NewFile::operator=(NewFile&& other) noexcept
{
    if (this != &other) {
        discard();
        m_paths = other.m_paths;
        m_name = std::move(other.m_name);
        m_recordLength = other.m_recordLength;
        m_lines = other.m_lines;
        m_file = std::move(other.m_file);
        m_writtenCount = other.m_writtenCount;
    }
    return *this;
}

NewFile NewFile::ofRecords(const PathMapper& paths, std::string name, int recordLength)
{
    NewFile file;
    file.m_paths = &paths;
    file.m_name = std::move(name);
    file.m_recordLength = recordLength;
    return file;
}

NewFile NewFile::ofLines(const PathMapper& paths, std::string name)
{
    NewFile file;
    file.m_paths = &paths;
    file.m_name = std::move(name);
    file.m_lines = true;
    return file;
}

bool NewFile::isOpen() const
{
    return m_file && m_file->active();
}

int NewFile::descriptor() const
{
    return isOpen() ? m_file->descriptor() : -1;
}

std::filesystem::path NewFile::hostPath() const
{
    return mapped(m_paths, m_name);
}

std::filesystem::path NewFile::temporaryHostPath() const
{
    return isOpen() ? m_file->temporaryPath() : std::filesystem::path();
}

std::filesystem::path NewFile::targetHostPath() const
{
    return isOpen() ? m_file->target() : std::filesystem::path();
}

FileResult NewFile::create()
{
    discard();
    m_writtenCount = 0;
    const auto failure = [&](int error) {
        return FileResult{error,
                          m_lines ? file_message::openSequential(error, m_name) : file_message::createFile(error)};
    };
    std::string path;
    if (const int error = mapName(m_paths, m_name, path))
        return failure(error);
    if (!m_file)
        m_file = std::make_unique<OutputFile>();
    if (const int error = m_file->create(path))
        return failure(file_error::fromErrno(error, path.c_str()));
    return {};
}

FileResult NewFile::write(std::int64_t recordNumber, std::string_view bytes)
{
    FileResult result = record_io::writeRecord(descriptor(), m_name, m_recordLength, recordNumber, bytes);
    if (result.ok())
        m_writtenCount = std::max(m_writtenCount, lastRecordReached(recordNumber, bytes.size(), m_recordLength));
    return result;
}

FileResult NewFile::writeLine(std::string_view line)
{
    ++m_writtenCount;
    std::string bytes;
    bytes.reserve(line.size() + 2);
    bytes.append(line);
    bytes.append("\r\n");
    return record_io::writeText(descriptor(), m_name, m_writtenCount, bytes);
}

FileResult NewFile::writeLines(std::string_view lines, std::int64_t count)
{
    m_writtenCount += count;
    return record_io::writeText(descriptor(), m_name, m_writtenCount, lines);
}

FileResult NewFile::writeLinesAt(std::int64_t offset, std::string_view lines, std::int64_t lastLine)
{
    m_writtenCount = std::max(m_writtenCount, lastLine);
    const auto failure = [&](int error) {
        return FileResult{error, file_message::writeLine(error, m_name, static_cast<double>(lastLine))};
    };
    if (!isOpen())
        return failure(file_error::kBadFileNumber);
    if (const int error = writeAllAt(descriptor(), lines, offset))
        return failure(file_error::fromErrno(error, nullptr));
    return {};
}

FileResult NewFile::commit()
{
    const auto writeFailure = [&](int error) {
        const auto count = static_cast<double>(m_writtenCount);
        return FileResult{error, m_lines ? file_message::writeLine(error, m_name, count)
                                         : file_message::writeRecord(error, m_name, count)};
    };
    if (!isOpen())
        return writeFailure(file_error::kBadFileNumber);
    const std::string target = m_file->target().string();
    const OutputFile::Outcome outcome = m_file->commit();
    if (outcome.error == 0)
        return {};
    if (outcome.step == OutputFile::Step::Rename) {
        const int error = file_error::fromErrno(outcome.error, target.c_str());
        return {error, file_message::nameNewFile(error, m_name)};
    }
    return writeFailure(file_error::fromErrno(outcome.error, nullptr));
}

void NewFile::discard()
{
    if (m_file)
        m_file->discard();
}

int NewFile::duplicateDescriptor() const
{
    return duplicate(descriptor());
}

void NewFile::startWriteback() const
{
    if (isOpen())
        startWritebackOf(descriptor());
}

std::vector<std::string> NewFile::removeLeftovers() const
{
    std::string path;
    if (mapName(m_paths, m_name, path) != 0)
        return {};
    const std::filesystem::path target(path);
    return OutputFile::removeLeftovers(target.has_parent_path() ? target.parent_path() : std::filesystem::path("."));
}

std::string leftoversMessage(const std::vector<std::string>& removed)
{
    if (removed.empty())
        return {};
    if (removed.size() == 1)
        return "Rimosso il file temporaneo " + utf8ToCp1252(removed.front()) + " lasciato da un'elaborazione interrotta ";
    std::string names;
    for (const std::string& name : removed)
        names += (names.empty() ? "" : ", ") + utf8ToCp1252(name);
    return "Rimossi " + std::to_string(removed.size()) + " file temporanei lasciati da elaborazioni interrotte: " + names
        + " ";
}

} // namespace records
