#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "records/write_behind.h"

namespace records {
class NewFile;
class Prompter;
struct FileResult;
} // namespace records

namespace cu::telematic {

inline constexpr int kTelematicRecordLength = 1900;
inline constexpr int kBodyLength = 1897;    // the record before "A", CR, LF
inline constexpr int kPositionalLength = 89; // positional part of records C, D and G
inline constexpr int kFieldLength = 24;      // 8-character code + 16-character value
inline constexpr int kFieldsPerRecord = 75;
inline constexpr int kMaxCertificationNumber = 99999; // five digits in records D and G

// Report totals: slots 1..30 (slot 0 unused); the writer feeds 1..21.
using ReportTotals = std::array<double, 31>;

// Ends a run with a stop message ("Accesso", stop icon): thrown by the writers when a value
// cannot be written as the format demands, caught by the run. An empty message means that
// the operator has already been told (the message of a file that could not be written).
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

// Builds the 1900-byte records of the telematic file (a new file, written whole before it
// takes its name) with the non-positional fields of records C, D and G and their
// continuation records, and writes them.
//
// Finished records are gathered in a buffer, followed by the record being built, and
// written together, about 500 KB at a time in one system call. A full batch is handed to a
// writer thread (records::WriteBehind) and the next records are built while it is copied
// into the file; the next batch waits until it is done. When a batch cannot be written, its
// records are written again here one by one, so that the operator's message names the first
// record that could not be written and every record before it is in the file; the run stops
// there, before the records built since are written. The writer shows the message of a
// write that failed itself, through the operator, at once. Everything that was handed over
// is in the file before writePending() returns, and that is called before the operator
// sees anything.
class TelematicWriter {
public:
    // Records gathered before they are written together: 516800 bytes. Smaller batches
    // cost more in waking the writer thread than they save; two buffers of this size serve
    // the whole file.
    static constexpr int kBatchRecords = 272;
    // Batches written between two requests to the system to start writing the file to
    // the disk: about 8 MB.
    static constexpr int kBatchesPerWriteback = 16;

    // Writes into `file`, created and not yet given its name, and tells a failed write to
    // `prompter`; both must outlive the writer.
    TelematicWriter(records::NewFile& file, records::Prompter& prompter);

    // Starts a new record after the finished ones; a record that was being built is dropped.
    void startRecord(std::string_view positional);
    // The same with the positional part of record D or G for the keys' current values
    // (see recordDPositional() and recordGPositional()).
    void startRecordD();
    void startRecordG();
    // Completes the record being built (blanks up to position 1897, "A", CR, LF) and adds
    // it to the finished records, which are handed to the writer thread when a batch is
    // full. Throws RunStopped when the batch handed over before could not be written.
    void finishRecord();
    // Completes the record being built and writes it together with every finished record
    // before it: afterwards the file holds all records of the writer. Throws RunStopped
    // after a write error, whose message has been shown.
    void flush();
    // Writes the finished records that are still waiting, and waits for the writer thread;
    // the record being built stays. Throws RunStopped as flush() does. Called before
    // anything that the operator sees (a question, a stop message, a read error) and
    // before the file is closed.
    void writePending();
    int pendingRecords() const { return m_pending; }
    // The finished records still waiting, then the record being built, as they will reach
    // the file.
    std::string_view buffered() const { return m_buffer; }
    // Writes record `number`, already in the file, again with `body` (blanks up to position
    // 1897, then "A", CR, LF), after every finished record. Throws RunStopped as flush() does.
    void rewriteRecord(std::int64_t number, std::string_view body);

    // Appends one field (code followed by value, at most 24 characters, padded with blanks)
    // to a record C or D; after 75 fields the record is finished and a continuation record
    // D starts with the next certification number.
    void writeDField(std::string_view field);
    // Appends `count` complete 24-character fields to records C or D, as writeDField() does
    // for each in turn: a full record is finished and continued in a new record D.
    void writeDSlots(const char* slots, int count);
    // The same for records G; a continuation record G keeps the certification number.
    void writeGField(std::string_view field);
    // Appends `count` complete 24-character fields to records G, as writeGField() does for
    // each in turn: a full record is finished and continued in a new record G.
    void writeGSlots(const char* slots, int count);
    // Fields that the current record G still takes before it is full.
    int gFieldsLeft() const { return kFieldsPerRecord - m_gFields; }

    // Amount with cents: rounds to cents and, when the result is greater than 0, writes
    // code + 13-digit whole part (blanks on the left, thirteen "0" when it is 0) + "," +
    // two decimals through the G field writer. Returns the rounded amount, which is what
    // the report totals add. Throws RunStopped when the whole part needs more than 13 digits.
    double writeAmount(std::string_view code, double amount);
    // Whole amount: rounds to cents and, when greater than 0, writes the whole part
    // right-aligned in 16 (16 blanks when it is 0). Throws RunStopped beyond 16 digits.
    double writeWhole(std::string_view code, double amount);
    // The two above for an amount already rounded to cents (0 stays 0): they write the same
    // field and return `rounded`.
    double writeRoundedAmount(std::string_view code, double rounded);
    double writeRoundedWhole(std::string_view code, double rounded);
    // The two above for an amount held as a whole number of cents (see records::plainCents):
    // they write the same field as for cents / 100.0 and return that value, without
    // taking the amount apart again.
    double writeCentsAmount(std::string_view code, std::int64_t cents);
    double writeCentsWhole(std::string_view code, std::int64_t cents);

    RecordKeys& keys() { return m_keys; }
    int dFieldCount() const { return m_dFields; }
    int gFieldCount() const { return m_gFields; }
    void resetFieldCounts() { m_dFields = m_gFields = 0; }

    // Records finished so far, written or waiting.
    std::int64_t totalRecords() const { return m_total; }
    std::int64_t countB = 0;
    std::int64_t countC = 0;
    std::int64_t countD = 0;
    std::int64_t countG = 0;

private:
    std::size_t finishedBytes() const { return static_cast<std::size_t>(m_pending) * kTelematicRecordLength; }
    void completeRecord();
    // Hands the finished records to the writer thread, after the previous batch is done.
    void handOver();
    // Waits for the batch handed over last; writes it again here when it failed.
    void settle();
    // Writes the first `count` records held in the buffer, the first being record `first`.
    void writeNow(std::int64_t first, int count);
    void writeOneByOne(std::int64_t first, int count);
    // Shows the failure of a write, drops what was waiting and stops the run.
    [[noreturn]] void stopAfterWriteFailure(const records::FileResult& failure);
    void dropEverything();
    // Appends a complete 24-character field to a record G.
    void writeGSlot(const char* slot);
    // Appends `count` complete fields to the record being built, whose `fields` count
    // `countField` advances: it finishes the record when the fields fill it and continues in
    // a new one.
    void writeSlots(const char* slots, int count, int& fields, void (TelematicWriter::*countField)());
    void countGField();
    void countDField();

    records::NewFile& m_file;
    records::Prompter& m_prompter;
    std::string m_buffer; // the finished records waiting, then the record being built
    RecordKeys m_keys;
    std::int64_t m_total = 0;
    int m_pending = 0; // finished records at the start of the output buffer
    records::WriteBehind m_behind;
    std::int64_t m_behindFirst = 0; // the batch handed over last, until it is waited for
    int m_behindCount = 0;
    int m_batchesSinceWriteback = 0;
    int m_dFields = 0;
    int m_gFields = 0;
};

// The fields of writeCentsAmount() and writeCentsWhole() for cents above 0 and below
// 10^15, formed in the 24 characters at `field`.
void formCentsAmountField(char* field, std::string_view code, std::int64_t cents);
void formCentsWholeField(char* field, std::string_view code, std::int64_t cents);

// The text check of the G fields: `skip` is set when the text begins with a blank, with
// "0 " or with two NUL characters; `value` is the trimmed text left-aligned in 16.
struct TextCheck {
    bool skip = false;
    std::string value;
};
TextCheck textCheck(std::string_view text);
// The `skip` part of the text check alone.
bool textIsSkipped(std::string_view text);

// Positional part of record D and of record G for the keys' current values. Both throw
// RunStopped when the certification number needs more than five digits.
std::string recordDPositional(const RecordKeys& keys);
std::string recordGPositional(const RecordKeys& keys);

} // namespace cu::telematic
