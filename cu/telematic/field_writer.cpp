#include "cu/telematic/field_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unistd.h>

#include "records/file_result.h"
#include "records/record_file.h"
#include "records/numeric.h"
#include "records/text.h"

namespace cu::telematic {

namespace {

constexpr const char* kModuleNumber = "00000001";
constexpr const char* kRecordEnd = "A\r\n";

// Appends `text` cut or filled with blanks to exactly `width` characters.
void appendFitted(std::string& out, std::string_view text, std::size_t width)
{
    const std::string_view kept = text.substr(0, width);
    out.append(kept);
    out.append(width - kept.size(), ' ');
}

// Appends one field slot: the field cut or filled with blanks to 24 characters, in one
// piece, since a record G holds hundreds of them.
void appendField(std::string& out, std::string_view field)
{
    if (field.size() >= kFieldLength) {
        out.append(field.data(), kFieldLength);
        return;
    }
    char slot[kFieldLength];
    std::memset(slot, ' ', sizeof slot);
    if (!field.empty())
        std::memcpy(slot, field.data(), field.size());
    out.append(slot, sizeof slot);
}

// Appends the trimmed text filled with "0" on the left to `width`; a longer text is cut,
// so that the positional part keeps its 89 characters.
void appendZeroFilled(std::string& out, std::string_view text, std::size_t width)
{
    const std::string_view trimmed = records::trim(text);
    if (trimmed.size() < width)
        out.append(width - trimmed.size(), '0');
    out.append(trimmed.substr(0, width));
}

void appendCertificationNumber(std::string& out, int number)
{
    // Five digits, zero-filled. A sixth digit would shift every later position of the
    // record, so a file cannot hold more certifications than five digits count.
    if (number < 0 || number > kMaxCertificationNumber)
        throw RunStopped("Il file telematico non puo' contenere piu' di 99999 certificazioni ");
    char digits[5];
    for (int k = 4; k >= 0; --k) {
        digits[k] = static_cast<char>('0' + number % 10);
        number /= 10;
    }
    out.append(digits, sizeof digits);
}

void appendRecordDPositional(std::string& record, const RecordKeys& keys)
{
    record.push_back('D');
    appendFitted(record, keys.agentFiscalCode, 16);
    record.append(kModuleNumber);
    appendFitted(record, keys.employeeFiscalCode, 16);
    appendCertificationNumber(record, keys.certificationNumber);
    appendZeroFilled(record, keys.replacedSubmission, 17);
    appendZeroFilled(record, keys.replacedCertificate, 6);
    record.append(14, ' ');
    record.push_back(keys.operation);
    record.append(4, ' ');
    record.push_back('1');
}

void appendRecordGPositional(std::string& record, const RecordKeys& keys)
{
    record.push_back('G');
    appendFitted(record, keys.agentFiscalCode, 16);
    record.append(kModuleNumber);
    appendFitted(record, keys.employeeFiscalCode, 16);
    appendCertificationNumber(record, keys.certificationNumber);
    record.append(43, ' ');
}

// The code in the first characters of a field of blanks.
void putCode(char* field, std::string_view code)
{
    if (code.size() >= 8)
        std::memcpy(field, code.data(), 8); // every code of the form has its 8 characters
    else if (!code.empty())
        std::memcpy(field, code.data(), code.size());
}

constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

// The eight decimal digits of `value` (below 10^8), zero-filled, one in each byte of the
// result, the first digit in the lowest byte: the two halves of four digits, then their
// pairs, then single digits, are split in every lane of the word at once. The divisions
// by 100 and by 10 are multiplications that are exact for numbers of this size.
std::uint64_t eightDigits(std::uint32_t value)
{
    std::uint64_t x = (value / 10000) | (static_cast<std::uint64_t>(value % 10000) << 32);
    const std::uint64_t hundreds = ((x * 10486) >> 20) & 0x0000007F0000007FULL;
    x = ((x - hundreds * 100) << 16) | hundreds;
    const std::uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000FULL;
    return ((x - tens * 10) << 8) | tens;
}

constexpr std::uint64_t kEightZeros = 0x3030303030303030ULL;
constexpr std::uint64_t kEightBlanks = 0x2020202020202020ULL;

// The eight characters of `value` (from 1 to 10^8 - 1) right-aligned, blanks on the left.
std::uint64_t eightCharacters(std::uint32_t value)
{
    const std::uint64_t digits = eightDigits(value);
    const int leadingZeros = std::countr_zero(digits) / 8; // at most 7: the value is not 0
    const std::uint64_t leading = (std::uint64_t{1} << (8 * leadingZeros)) - 1;
    return ((digits | kEightZeros) & ~leading) | (kEightBlanks & leading);
}

// Writes `value` (from 1 to 10^16 - 1) right-aligned in the characters before `end`, with
// blanks on the left within the sixteen before `end`. Characters before the first digit
// may be set to blanks; the field's code is copied afterwards.
void putRightAligned(char* end, std::uint64_t value)
{
    std::uint64_t low = 0;
    if (value < 100'000'000) {
        low = eightCharacters(static_cast<std::uint32_t>(value));
    } else {
        const std::uint64_t high = eightCharacters(static_cast<std::uint32_t>(value / 100'000'000));
        std::memcpy(end - 16, &high, sizeof high);
        low = eightDigits(static_cast<std::uint32_t>(value % 100'000'000)) | kEightZeros;
    }
    std::memcpy(end - 8, &low, sizeof low);
}

std::string unrepresentable(std::string_view code)
{
    return "Importo non rappresentabile nel campo " + std::string(code) + " ";
}

} // namespace

TelematicWriter::TelematicWriter(records::NewFile& file, records::Prompter& prompter)
    : m_file(file)
    , m_prompter(prompter)
{
    m_buffer.reserve(static_cast<std::size_t>(kBatchRecords) * kTelematicRecordLength);
}

void TelematicWriter::startRecord(std::string_view positional)
{
    // resize() and append() keep the buffer's capacity: one buffer serves the whole file.
    m_buffer.resize(finishedBytes());
    m_buffer.append(positional);
}

void TelematicWriter::completeRecord()
{
    m_buffer.resize(finishedBytes() + kBodyLength, ' ');
    m_buffer.append(kRecordEnd);
    ++m_total;
    ++m_pending;
}

void TelematicWriter::finishRecord()
{
    completeRecord();
    if (m_pending >= kBatchRecords)
        handOver();
}

void TelematicWriter::flush()
{
    completeRecord();
    writePending();
}

void TelematicWriter::writePending()
{
    handOver();
    settle();
}

void TelematicWriter::rewriteRecord(std::int64_t number, std::string_view body)
{
    writePending();
    std::string building;
    building.swap(m_buffer);
    m_buffer.assign(body.substr(0, kBodyLength));
    m_buffer.resize(kBodyLength, ' ');
    m_buffer.append(kRecordEnd);
    writeNow(number, 1);
    m_buffer.swap(building);
}

void TelematicWriter::handOver()
{
    if (m_pending == 0)
        return;
    // Blocks reach the file in order, and a block that fails stops the run before the next
    // one is written.
    settle();
    // A record being built waits aside while the finished ones are written.
    std::string building;
    if (m_buffer.size() > finishedBytes()) {
        building.assign(m_buffer, finishedBytes());
        m_buffer.resize(finishedBytes());
    }
    const std::int64_t first = m_total - m_pending + 1;
    // Every few megabytes the disk is asked to start on the file while the next records are
    // built, so that little is left to write when the run pushes the file to the disk.
    const bool writeback = ++m_batchesSinceWriteback >= kBatchesPerWriteback;
    if (writeback)
        m_batchesSinceWriteback = 0;
    const int descriptor = m_file.duplicateDescriptor();
    if (descriptor >= 0
        && m_behind.write(descriptor, m_buffer, (first - 1) * std::int64_t{kTelematicRecordLength}, writeback)) {
        m_behindFirst = first;
        m_behindCount = m_pending;
    } else {
        if (descriptor >= 0)
            ::close(descriptor);
        // No file open (its write tells so) or no second thread: written here and now.
        writeNow(first, m_pending);
        m_buffer.clear();
        if (writeback)
            m_file.startWriteback();
    }
    // The writer thread wrote around the file object: the file learns the last record it
    // holds, which a failed push names.
    m_file.setWrittenCount(m_total);
    m_pending = 0;
    m_buffer.append(building);
}

void TelematicWriter::settle()
{
    if (m_behindCount == 0)
        return;
    const bool written = m_behind.wait();
    const std::int64_t first = m_behindFirst;
    const int count = m_behindCount;
    m_behindCount = 0;
    if (written)
        return;
    // The block did not reach the file: it is written again here, where a failure is shown
    // with its message, while the records built since wait aside.
    std::string newer;
    newer.swap(m_buffer);
    m_buffer.swap(m_behind.lastBlock());
    writeNow(first, count); // throws RunStopped when the failure stays
    // Every record went to the file on the second attempt: the run goes on.
    m_buffer.swap(m_behind.lastBlock());
    m_buffer.swap(newer);
}

void TelematicWriter::writeNow(std::int64_t first, int count)
{
    const std::string_view records(m_buffer.data(), static_cast<std::size_t>(count) * kTelematicRecordLength);
    const records::FileResult written = m_file.write(first, records);
    if (written.ok())
        return;
    if (count == 1) {
        // One record: its own write's message names it.
        stopAfterWriteFailure(written);
    }
    // The message of the whole write would name the first record of the batch: the records
    // are written again one by one, and the first that fails is named.
    writeOneByOne(first, count);
}

void TelematicWriter::writeOneByOne(std::int64_t first, int count)
{
    for (int k = 0; k < count; ++k) {
        const std::string_view record(m_buffer.data() + static_cast<std::size_t>(k) * kTelematicRecordLength,
                                      kTelematicRecordLength);
        if (const records::FileResult written = m_file.write(first + k, record); written.failed())
            stopAfterWriteFailure(written);
    }
}

void TelematicWriter::stopAfterWriteFailure(const records::FileResult& failure)
{
    dropEverything();
    records::showFailure(m_prompter, failure);
    throw RunStopped({}); // the operator has been told which record could not be written
}

// After a write error the run stops: nothing that was waiting is written any more.
void TelematicWriter::dropEverything()
{
    m_pending = 0;
    m_buffer.clear();
}

void TelematicWriter::startRecordD()
{
    m_buffer.resize(finishedBytes());
    appendRecordDPositional(m_buffer, m_keys);
}

void TelematicWriter::startRecordG()
{
    m_buffer.resize(finishedBytes());
    appendRecordGPositional(m_buffer, m_keys);
}

void TelematicWriter::writeDField(std::string_view field)
{
    appendField(m_buffer, field);
    countDField();
}

void TelematicWriter::writeDSlots(const char* slots, int count)
{
    writeSlots(slots, count, m_dFields, &TelematicWriter::countDField);
}

void TelematicWriter::writeSlots(const char* slots, int count, int& fields, void (TelematicWriter::*countField)())
{
    while (count > 0) {
        const int taken = std::min(count, kFieldsPerRecord - fields);
        m_buffer.append(slots, static_cast<std::size_t>(taken) * kFieldLength);
        slots += static_cast<std::size_t>(taken) * kFieldLength;
        count -= taken;
        fields += taken - 1;
        (this->*countField)(); // finishes the record when these fields fill it
    }
}

void TelematicWriter::countDField()
{
    if (++m_dFields < kFieldsPerRecord)
        return;
    // The record is full: finish it and go on in a new record D, which carries the next
    // certification number and otherwise the same positional values.
    m_dFields = 0;
    ++countD;
    finishRecord();
    ++m_keys.certificationNumber;
    startRecordD();
}

void TelematicWriter::writeGField(std::string_view field)
{
    appendField(m_buffer, field);
    countGField();
}

void TelematicWriter::writeGSlot(const char* slot)
{
    m_buffer.append(slot, kFieldLength);
    countGField();
}

void TelematicWriter::writeGSlots(const char* slots, int count)
{
    writeSlots(slots, count, m_gFields, &TelematicWriter::countGField);
}

void TelematicWriter::countGField()
{
    if (++m_gFields < kFieldsPerRecord)
        return;
    m_gFields = 0;
    ++countG;
    finishRecord();
    startRecordG();
}

double TelematicWriter::writeAmount(std::string_view code, double amount)
{
    // Most amounts of a certification are empty: no rounding needed.
    return writeRoundedAmount(code, amount == 0 ? 0 : records::roundToCents(amount));
}

double TelematicWriter::writeWhole(std::string_view code, double amount)
{
    return writeRoundedWhole(code, amount == 0 ? 0 : records::roundToCents(amount));
}

double TelematicWriter::writeRoundedAmount(std::string_view code, double x)
{
    if (!(x > 0))
        return x;
    if (x >= 1e13)
        throw RunStopped(unrepresentable(code));
    // x is a whole number of cents: split it exactly into the whole part and the cents.
    const auto totalCents = static_cast<std::int64_t>(x * 100 + 0.5);
    char field[kFieldLength];
    formCentsAmountField(field, code, totalCents);
    writeGSlot(field);
    return x;
}

double TelematicWriter::writeCentsAmount(std::string_view code, std::int64_t cents)
{
    const double x = static_cast<double>(cents) / 100;
    if (cents <= 0)
        return x;
    if (cents >= 1'000'000'000'000'000) // a whole part of 14 digits
        throw RunStopped(unrepresentable(code));
    char field[kFieldLength];
    formCentsAmountField(field, code, cents);
    writeGSlot(field);
    return x;
}

double TelematicWriter::writeCentsWhole(std::string_view code, std::int64_t cents)
{
    const double x = static_cast<double>(cents) / 100;
    if (cents <= 0)
        return x;
    if (cents / 100 >= 10'000'000'000'000'000)
        throw RunStopped(unrepresentable(code));
    char field[kFieldLength];
    formCentsWholeField(field, code, cents);
    writeGSlot(field);
    return x;
}

void formCentsAmountField(char* field, std::string_view code, std::int64_t cents)
{
    std::memset(field, ' ', kFieldLength);
    const auto whole = static_cast<std::uint64_t>(cents / 100);
    // The whole part 0 is written as thirteen "0".
    if (whole == 0)
        std::memset(field + 8, '0', 13);
    else
        putRightAligned(field + 21, whole);
    putCode(field, code);
    field[21] = ',';
    std::memcpy(field + 22, kDigitPairs + 2 * (cents % 100), 2);
}

void formCentsWholeField(char* field, std::string_view code, std::int64_t cents)
{
    std::memset(field, ' ', kFieldLength);
    // Between 0 and 1 the whole part is 0 and the value stays 16 blanks.
    const auto whole = static_cast<std::uint64_t>(cents / 100);
    if (whole > 0)
        putRightAligned(field + kFieldLength, whole);
    putCode(field, code);
}

double TelematicWriter::writeRoundedWhole(std::string_view code, double x)
{
    if (!(x > 0))
        return x;
    const double whole = std::floor(x);
    if (whole >= 1e16)
        throw RunStopped(unrepresentable(code));
    char field[kFieldLength];
    std::memset(field, ' ', kFieldLength);
    // Between 0 and 1 the whole part is 0 and the value stays 16 blanks.
    if (whole > 0)
        putRightAligned(field + kFieldLength, static_cast<std::uint64_t>(whole));
    putCode(field, code);
    writeGSlot(field);
    return x;
}

bool textIsSkipped(std::string_view text)
{
    return (!text.empty() && text[0] == ' ') || text.starts_with("0 ")
        || (text.size() >= 2 && text[0] == '\0' && text[1] == '\0');
}

TextCheck textCheck(std::string_view text)
{
    TextCheck result;
    result.skip = textIsSkipped(text);
    result.value = records::fitRight(records::trim(text), 16);
    return result;
}

std::string recordDPositional(const RecordKeys& keys)
{
    std::string record;
    record.reserve(kPositionalLength);
    appendRecordDPositional(record, keys);
    return record;
}

std::string recordGPositional(const RecordKeys& keys)
{
    std::string record;
    record.reserve(kPositionalLength);
    appendRecordGPositional(record, keys);
    return record;
}

} // namespace cu::telematic
