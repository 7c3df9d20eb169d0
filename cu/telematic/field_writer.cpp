#include "cu/telematic/field_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "records/channels.h"
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
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", number);
    out.append(digits, 5);
}

// A field of blanks with the code in its first 8 characters.
void startField(char (&field)[kFieldLength], std::string_view code)
{
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, code.data(), std::min<std::size_t>(code.size(), 8));
}

// Writes the decimal digits of `value` (> 0) right-aligned in the `width` characters at `start`.
void putDigits(char* start, int width, long long value)
{
    char* p = start + width;
    while (value > 0 && p > start) {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

std::string unrepresentable(std::string_view code)
{
    return "Importo non rappresentabile nel campo " + std::string(code) + " ";
}

} // namespace

TelematicWriter::TelematicWriter(records::Channels& channels)
    : m_channels(channels)
{
    m_channels.channel(kTelematicChannel).outputBuffer.reserve(kTelematicRecordLength);
}

void TelematicWriter::startRecord(std::string positional)
{
    // assign() keeps the buffer's capacity: one record buffer serves the whole file.
    m_channels.channel(kTelematicChannel).outputBuffer.assign(positional);
}

void TelematicWriter::flush()
{
    m_channels.setCurrent(kTelematicChannel);
    ++m_total;
    m_channels.setRecordNumber(static_cast<double>(m_total));
    std::string& buffer = m_channels.channel(kTelematicChannel).outputBuffer;
    buffer.resize(kBodyLength, ' ');
    buffer.append(kRecordEnd);
    m_channels.writeRecord();
    if (m_channels.lastError() != 0)
        throw RunStopped({}); // the channel has shown its message
}

void TelematicWriter::writeDField(std::string_view field)
{
    appendFitted(m_channels.channel(kTelematicChannel).outputBuffer, field, kFieldLength);
    if (++m_dFields < kFieldsPerRecord)
        return;
    // The record is full: write it and go on in a new record D, which carries the next
    // certification number and otherwise the same positional values.
    m_dFields = 0;
    ++countD;
    flush();
    ++m_keys.certificationNumber;
    startRecord(recordDPositional(m_keys));
}

void TelematicWriter::writeGField(std::string_view field)
{
    appendFitted(m_channels.channel(kTelematicChannel).outputBuffer, field, kFieldLength);
    if (++m_gFields < kFieldsPerRecord)
        return;
    m_gFields = 0;
    ++countG;
    flush();
    startRecord(recordGPositional(m_keys));
}

double TelematicWriter::writeAmount(std::string_view code, double amount)
{
    if (amount == 0)
        return 0; // most amounts of a certification are empty: no rounding needed
    const double x = records::roundToCents(amount);
    if (!(x > 0))
        return x;
    if (x >= 1e13)
        throw RunStopped(unrepresentable(code));
    // x is a whole number of cents: split it exactly into the whole part and the cents.
    const auto totalCents = static_cast<long long>(x * 100 + 0.5);
    const long long whole = totalCents / 100;
    const auto cents = static_cast<int>(totalCents % 100);

    char field[kFieldLength];
    startField(field, code);
    if (whole == 0)
        std::memset(field + 8, '0', 13);
    else
        putDigits(field + 8, 13, whole);
    field[21] = ',';
    field[22] = static_cast<char>('0' + cents / 10);
    field[23] = static_cast<char>('0' + cents % 10);
    writeGField(std::string_view(field, sizeof field));
    return x;
}

double TelematicWriter::writeWhole(std::string_view code, double amount)
{
    if (amount == 0)
        return 0;
    const double x = records::roundToCents(amount);
    if (!(x > 0))
        return x;
    const double whole = std::floor(x);
    if (whole >= 1e16)
        throw RunStopped(unrepresentable(code));
    char field[kFieldLength];
    startField(field, code);
    // Between 0 and 1 the whole part is 0 and the value stays 16 blanks.
    if (whole > 0)
        putDigits(field + 8, 16, static_cast<long long>(whole));
    writeGField(std::string_view(field, sizeof field));
    return x;
}

TextCheck textCheck(std::string_view text)
{
    TextCheck result;
    result.skip = (!text.empty() && text[0] == ' ') || text.starts_with("0 ")
        || (text.size() >= 2 && text[0] == '\0' && text[1] == '\0');
    result.value = records::fitRight(records::trim(text), 16);
    return result;
}

std::string recordDPositional(const RecordKeys& keys)
{
    std::string record;
    record.reserve(kTelematicRecordLength);
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
    return record;
}

std::string recordGPositional(const RecordKeys& keys)
{
    std::string record;
    record.reserve(kTelematicRecordLength);
    record.push_back('G');
    appendFitted(record, keys.agentFiscalCode, 16);
    record.append(kModuleNumber);
    appendFitted(record, keys.employeeFiscalCode, 16);
    appendCertificationNumber(record, keys.certificationNumber);
    record.append(43, ' ');
    return record;
}

} // namespace cu::telematic
