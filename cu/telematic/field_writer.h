#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace records {
class Channels;
}

namespace cu::telematic {

inline constexpr int kTelematicRecordLength = 1900;
inline constexpr int kBodyLength = 1897;    // the record before "A", CR, LF
inline constexpr int kPositionalLength = 89; // positional part of records C, D and G
inline constexpr int kFieldLength = 24;      // 8-character code + 16-character value
inline constexpr int kFieldsPerRecord = 75;
inline constexpr int kTelematicChannel = 8;
inline constexpr int kMaxCertificationNumber = 99999; // five digits in records D and G

// Report totals: slots 1..30 (slot 0 unused); the writer feeds 1..21.
using ReportTotals = std::array<double, 31>;

// Ends a run with a stop message ("Accesso", stop icon): thrown by the writers when a value
// cannot be written as the format demands, caught by the run. An empty message means that
// the operator has already been told (a write error shown by the record channel).
class RunStopped : public std::runtime_error {
public:
    explicit RunStopped(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

// The positional values that a continuation record repeats.
struct RecordKeys {
    std::string agentFiscalCode;    // header field 3, 16 characters
    std::string employeeFiscalCode; // CU field 1, 16 characters
    std::string replacedSubmission; // header field 42 (trimmed and zero-filled when written)
    std::string replacedCertificate; // header field 43
    char operation = ' ';           // ' ', 'A' or 'S' (position 84 of record D)
    int certificationNumber = 0;
};

// Builds the 1900-byte records of the telematic file on channel 8, one at a time, with the
// non-positional fields of records C, D and G and their continuation records.
class TelematicWriter {
public:
    explicit TelematicWriter(records::Channels& channels);

    // Starts a new record: the buffer is assigned, never appended to.
    void startRecord(std::string positional);
    // Completes the record in the buffer (blanks up to position 1897, "A", CR, LF) and
    // writes it as the next record of the file. Throws RunStopped after a write error,
    // whose message the record channel has already shown.
    void flush();

    // Appends one field (code followed by value, at most 24 characters, padded with blanks)
    // to a record C or D; after 75 fields the record is written and a continuation record D
    // starts with the next certification number.
    void writeDField(std::string_view field);
    // The same for records G; a continuation record G keeps the certification number.
    void writeGField(std::string_view field);

    // Amount with cents: rounds to cents and, when the result is greater than 0, writes
    // code + 13-digit whole part (blanks on the left, thirteen "0" when it is 0) + "," +
    // two decimals through the G field writer. Returns the rounded amount, which is what
    // the report totals add. Throws RunStopped when the whole part needs more than 13 digits.
    double writeAmount(std::string_view code, double amount);
    // Whole amount: rounds to cents and, when greater than 0, writes the whole part
    // right-aligned in 16 (16 blanks when it is 0). Throws RunStopped beyond 16 digits.
    double writeWhole(std::string_view code, double amount);

    RecordKeys& keys() { return m_keys; }
    int dFieldCount() const { return m_dFields; }
    int gFieldCount() const { return m_gFields; }
    void resetFieldCounts() { m_dFields = m_gFields = 0; }

    std::int64_t totalRecords() const { return m_total; }
    std::int64_t countB = 0;
    std::int64_t countC = 0;
    std::int64_t countD = 0;
    std::int64_t countG = 0;

private:
    records::Channels& m_channels;
    RecordKeys m_keys;
    std::int64_t m_total = 0;
    int m_dFields = 0;
    int m_gFields = 0;
};

// The text check of the G fields: `skip` is set when the text begins with a blank, with
// "0 " or with two NUL characters; `value` is the trimmed text left-aligned in 16.
struct TextCheck {
    bool skip = false;
    std::string value;
};
TextCheck textCheck(std::string_view text);

// Positional part of record D and of record G for the keys' current values. Both throw
// RunStopped when the certification number needs more than five digits.
std::string recordDPositional(const RecordKeys& keys);
std::string recordGPositional(const RecordKeys& keys);

} // namespace cu::telematic
