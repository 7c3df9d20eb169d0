#include "records/channels.h"

#include <cerrno>
#include <fcntl.h>
#include <utility>
#include <unistd.h>

#include "records/file_errors.h"
#include "records/host_paths.h"
#include "records/prompter.h"

namespace records {

Channels::Channels(const PathMapper& paths, Prompter& prompter)
    : m_paths(paths)
    , m_prompter(prompter)
{
}

Channels::~Channels()
{
    closeAll();
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

int Channels::descriptorOf(int number) const
{
    if (!validFileNumber(number))
        return -1;
    const OpenFile& open = m_open[static_cast<std::size_t>(number)];
    if (open.binary.isOpen())
        return open.binary.descriptor();
    if (open.text.isOpen())
        return open.text.descriptor();
    return open.created.descriptor();
}

bool Channels::isOpen(int number) const
{
    return descriptorOf(number) >= 0;
}

void Channels::closeFile(int number)
{
    if (!validFileNumber(number))
        return;
    OpenFile& open = m_open[static_cast<std::size_t>(number)];
    open.binary.close();
    open.text.close();
    // A new file closed before it was given its name is left unfinished: it goes.
    open.created.discard();
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

int Channels::beginOpen(int number)
{
    if (!validFileNumber(number))
        return file_error::kBadFileNumber;
    closeFile(number);
    return 0;
}

bool Channels::flush(int number)
{
    const int fd = descriptorOf(number);
    if (fd < 0)
        return true;
    if (::fdatasync(fd) != 0 && errno != EINVAL) {
        m_lastError = file_error::kDeviceIo;
        return false;
    }
    return true;
}

void Channels::startWriteback(int number)
{
    if (const int fd = descriptorOf(number); fd >= 0)
        startWritebackOf(fd);
}

int Channels::duplicateDescriptor(int number) const
{
    const int fd = descriptorOf(number);
    return fd < 0 ? -1 : ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
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

void Channels::report(const FileResult& result)
{
    m_lastError = 0;
    if (result.failed())
        fail(result.error, result.message);
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
    if (const int error = beginOpen(number)) {
        fail(error, file_message::openSequential(error, slot.fileName));
        return;
    }
    TextFile& file = m_open[static_cast<std::size_t>(number)].text;
    file = TextFile(m_paths, slot.fileName);
    report(file.open());
}

void Channels::writeLine()
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    report(record_io::writeText(descriptorOf(number), slot.fileName, m_lineCounter, slot.outputBuffer + "\r\n"));
}

void Channels::openBinary()
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    if (const int error = beginOpen(number)) {
        fail(error, file_message::openBinary(error, slot.fileName));
        return;
    }
    RecordFile& file = m_open[static_cast<std::size_t>(number)].binary;
    file = RecordFile(m_paths, slot.fileName, slot.recordLength);
    report(file.open());
}

void Channels::openBinaryForReading()
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    if (const int error = beginOpen(number)) {
        fail(error, file_message::openBinary(error, slot.fileName));
        return;
    }
    RecordFile& file = m_open[static_cast<std::size_t>(number)].binary;
    file = RecordFile(m_paths, slot.fileName, slot.recordLength);
    report(file.openForReading());
}

void Channels::createFile()
{
    m_lastError = 0;
    const int number = m_current;
    if (const int error = beginOpen(number)) {
        fail(error, file_message::createFile(error));
        return;
    }
    report(RecordFile(m_paths, channel(number).fileName, channel(number).recordLength).create());
}

void Channels::openNewBinary()
{
    openNew(false);
}

void Channels::openNewSequential()
{
    openNew(true);
}

void Channels::openNew(bool lines)
{
    m_lastError = 0;
    const int number = m_current;
    const Channel& slot = channel(number);
    if (const int error = beginOpen(number)) {
        fail(error, lines ? file_message::openSequential(error, slot.fileName) : file_message::createFile(error));
        return;
    }
    OpenFile& open = m_open[static_cast<std::size_t>(number)];
    open.created = lines ? NewFile::ofLines(m_paths, slot.fileName)
                         : NewFile::ofRecords(m_paths, slot.fileName, slot.recordLength);
    const FileResult result = open.created.create();
    if (result.ok())
        open.newFileHeldLines = lines;
    report(result);
}

bool Channels::commitNewFile(int number)
{
    m_lastError = 0;
    const Channel& slot = channel(number);
    // A commit names the last line (sequential) or record (binary) as the caller has set it;
    // without a new file, as the last new file of the channel was.
    const bool lines = validFileNumber(number) && m_open[static_cast<std::size_t>(number)].newFileHeldLines;
    const double count = lines ? m_lineCounter : m_recordNumber;
    if (!holdsNewFile(number)) {
        const int error = file_error::kBadFileNumber;
        fail(error, lines ? file_message::writeLine(error, slot.fileName, count)
                          : file_message::writeRecord(error, slot.fileName, count));
        return false;
    }
    const FileResult result = m_open[static_cast<std::size_t>(number)].created.commitNaming(slot.fileName, count);
    report(result);
    return result.ok();
}

void Channels::discardNewFile(int number)
{
    closeFile(number);
}

bool Channels::holdsNewFile(int number) const
{
    return validFileNumber(number) && m_open[static_cast<std::size_t>(number)].created.isOpen();
}

std::string Channels::newFileHostPath(int number) const
{
    if (!holdsNewFile(number))
        return {};
    return m_open[static_cast<std::size_t>(number)].created.temporaryHostPath().string();
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
    const int fd = descriptorOf(number);
    switch (kind) {
    case Transfer::Read:
        report(record_io::readRecord(fd, slot.fileName, slot.recordLength, m_recordNumber, slot.recordBuffer));
        break;
    case Transfer::Get:
        report(record_io::readRecord(fd, slot.fileName, slot.recordLength, m_recordNumber, slot.recordBuffer,
                                     record_io::ReadKind::LookUp));
        break;
    case Transfer::Write:
        report(record_io::writeRecord(fd, slot.fileName, slot.recordLength, m_recordNumber, slot.outputBuffer));
        break;
    }
}

} // namespace records
