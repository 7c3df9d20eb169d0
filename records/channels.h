#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "records/file_result.h"
#include "records/record_file.h"
#include "records/record_io.h"

namespace records {

class PathMapper;
class Prompter;

inline constexpr int kFirstChannel = 1;
inline constexpr int kLastChannel = 10;

// A failure of a procedure as it is shown to the operator: the classic error number and
// the message text.
using Failure = FileResult;

// One slot of the channel table. The file name is in installation notation; buffers hold
// Windows-1252 bytes.
struct Channel {
    std::string fileName;
    std::int16_t recordLength = 0;
    std::string outputBuffer; // what the next write line or write record puts in the file
    std::string recordBuffer; // the record last read on the channel
};

// The numbered-channel adapter, kept while the features move to the record files
// (RecordFile, TextFile, NewFile in record_file.h; records/README.md tells how): the old
// model of numbered record channels over the payroll suite's fixed-length record files, on
// top of those objects. A caller selects the current channel, sets that channel's file name
// and record length, sets the shared record number, and calls one of the seven procedures,
// which take no arguments. Record n of a channel occupies the bytes (n - 1) * L + 1 to n * L
// of its file (1-based).
//
// Each open procedure opens the file object of its kind for the slot; each transfer acts on
// the file open on the slot with the slot's name and record length and the shared numbers of
// the moment, through the same steps as the objects, so messages and bytes are the objects'.
// Unlike the objects, the channels show every failure to the operator through the Prompter,
// with the classic error number and the file name, and the caller goes on with its next
// step; lastError() tells callers that must not go on (the telematic writer) what happened.
//
// A file name with a control character (NUL, ESC, ...; see hasControlCharacter()) is
// refused with error 64 by every procedure that opens or creates, before the host is asked
// anything. A path that the host cannot follow (a loop of links, a name too long, a folder
// that cannot be entered) gives its error number like any other failure.
//
// Files that are written whole (the telematic file, the run report, the UniEmens XML) are
// opened with openNewBinary() or openNewSequential() and given their name by
// commitNewFile(): until then the bytes go to a temporary file beside the target, and a
// file of the target's name stays as it was (see NewFile). Closing such a channel any
// other way, opening it again, closeAll() and the end of the Channels discard the new file.
//
// Channels 1 to 10 can be opened; the table also has a slot 0, which no file is ever
// opened on. Any other channel number selects a scratch slot outside the table: the
// procedures report error 52 on it and touch nothing.
class Channels {
public:
    Channels(const PathMapper& paths, Prompter& prompter);
    ~Channels();
    Channels(const Channels&) = delete;
    Channels& operator=(const Channels&) = delete;

    void setCurrent(int channel) { m_current = channel; }
    int current() const { return m_current; }
    // Slot `number` of the table (0..10), or the scratch slot for any other number.
    Channel& channel(int number);
    const Channel& channel(int number) const;
    Channel& currentChannel() { return channel(m_current); }
    // Selects `number` and sets its file name and record length, the usual first step.
    void select(int number, std::string fileName, int recordLength);

    double recordNumber() const { return m_recordNumber; }
    void setRecordNumber(double number) { m_recordNumber = number; }
    double lineCounter() const { return m_lineCounter; }
    void setLineCounter(double counter) { m_lineCounter = counter; }

    // Close, then open the file for sequential text output (created, or emptied). A link
    // under the name is refused (error 75), never written through; so is anything that is
    // not a plain file.
    void openSequential();
    // Writes the output buffer and CR LF as one line of the sequential file.
    void writeLine();
    // Close, then open the file for binary reading and writing; a missing file is created
    // empty, an existing one keeps its contents (a read-only file is opened for reading).
    // The file is created only where nothing has the name: a link that leads nowhere is
    // never followed to create its target, it fails as a missing file (error 53).
    void openBinary();
    // As openBinary() with its message, for reading only and on an existing plain file:
    // nothing is ever created. A missing file (or a link to nothing) is error 53, 76 when
    // its folder is missing too; a folder, a FIFO or a device is error 75, and is never
    // waited on.
    void openBinaryForReading();
    // Close, create the file empty (or empty it), and leave the channel closed. The new
    // empty file replaces whatever had the name (a link included) all at once, as a new file
    // of openNewBinary() does; nothing is written through a link.
    void createFile();
    // Reads record-length bytes of record `recordNumber()` into the record buffer. On any
    // failure the buffer is left empty, so no reader mistakes the previous record for this one.
    void readRecord();
    // Writes the output buffer unchanged at record `recordNumber()`.
    void writeRecord();
    // As readRecord(), with the message of the municipality lookup.
    void getRecord();

    // Close, then open a new file for the channel's file name, for binary writing record by
    // record: the records go to a temporary file in the same folder until commitNewFile().
    // A failure shows the message of create file ("Errore tipo  76 nella creazione del
    // file "); an existing folder of the target's name is refused at once (error 75).
    void openNewBinary();
    // The same for a sequential text file written by write line; a failure shows the message
    // of open sequential.
    void openNewSequential();
    // Gives the new file open on `number` its name: pushes it to the disk and renames it over
    // any file of that name. True when the file has its name and is on the disk. A failed
    // push shows the message of a failed write (write record with recordNumber() for a
    // binary file, write line with lineCounter() for a sequential one); a failed rename
    // shows "Errore tipo " + error + " nella creazione del file " + file name. After a
    // failure the new file is gone and the earlier file of that name untouched; only when
    // the final push of the folder fails does the file already have its new bytes. The
    // channel is closed either way. False also when no new file is open on `number`. A block
    // handed to a writer thread (WriteBehind) must have been waited for before.
    bool commitNewFile(int number);
    // Closes the channel and removes its new file; an earlier file of the name stays as it was.
    void discardNewFile(int number);
    // True while a new file is open on `number` and not yet given its name.
    bool holdsNewFile(int number) const;
    // Host path of that new file while it has no name yet; empty otherwise.
    std::string newFileHostPath(int number) const;

    void close(int number);
    void closeAll();
    bool isOpen(int number) const;
    // Pushes what was written on the channel to the disk; false (with error 57 in
    // lastError()) when the system reports a failure.
    bool flush(int number);
    // Asks the system to start writing what was written on the channel to the disk, without
    // waiting for it: a large file is then mostly on the disk when flush() is called. Where
    // the system offers no such request, nothing happens; failures show up in flush().
    void startWriteback(int number);
    // A descriptor of its own for the file open on the channel, for a writer that writes the
    // channel's records on another thread (see WriteBehind); -1 when the channel is not open
    // or the system refuses. Whoever receives it closes it.
    int duplicateDescriptor(int number) const;

    // Error number of the last procedure (0 after a success).
    int lastError() const { return m_lastError; }

    // While failures are held, a failing procedure sets lastError() and keeps its failure
    // instead of showing it. A caller that holds back work of its own (records gathered
    // for one larger write) or that repeats a failed step in smaller steps decides then
    // whether, and after what, the message is shown, so that the operator sees the
    // messages in the order of the work.
    void setHoldFailures(bool hold) { m_holdFailures = hold; }
    bool holdsFailures() const { return m_holdFailures; }
    // The failure kept last while failures were held (error 0 when none), forgotten here.
    Failure takeHeldFailure();
    // Shows a failure that was held, as the procedure would have shown it, and sets
    // lastError() to its error number.
    void showFailure(const Failure& failure);
    // The result of a record file object reported as a procedure of the channels reports
    // its own: a failure is shown (or held while failures are held) and sets lastError();
    // a success sets lastError() to 0. For a feature that has moved some of its files to the
    // objects and still works with channels.
    void report(const FileResult& result);

    const PathMapper& paths() const { return m_paths; }
    // Host path that the channel's file name maps to.
    std::string hostPath(int number) const;

private:
    // The files that can be open on a slot, one at a time.
    struct OpenFile {
        RecordFile binary;  // open binary, open binary for reading
        TextFile text;      // open sequential
        NewFile created;    // open new binary, open new sequential
        bool newFileHeldLines = false; // the kind of the last new file, which a commit names
    };

    enum class Transfer { Read, Write, Get };
    bool validFileNumber(int number) const { return number >= kFirstChannel && number <= kLastChannel; }
    // The descriptor of the file open on `number`, -1 when none.
    int descriptorOf(int number) const;
    void fail(int errorNumber, const std::string& message);
    void transfer(Transfer kind);
    void closeFile(int number);
    // The first step of every open and create: the channel must be one of 1..10, and its
    // file is closed. 0, or the error number to report.
    int beginOpen(int number);
    void openNew(bool lines);

    const PathMapper& m_paths;
    Prompter& m_prompter;
    std::array<Channel, kLastChannel + 1> m_table;
    Channel m_scratch;
    std::array<OpenFile, kLastChannel + 1> m_open;
    int m_current = 0;
    double m_recordNumber = 0;
    double m_lineCounter = 0;
    int m_lastError = 0;
    bool m_holdFailures = false;
    Failure m_heldFailure;
};

// Holds the failures of `channels` while it lives (see Channels::setHoldFailures()), and
// gives the previous setting back when it goes, also when an exception passes.
class FailureHold {
public:
    explicit FailureHold(Channels& channels, bool hold = true)
        : m_channels(channels)
        , m_previous(channels.holdsFailures())
    {
        channels.setHoldFailures(hold);
    }
    ~FailureHold() { m_channels.setHoldFailures(m_previous); }
    FailureHold(const FailureHold&) = delete;
    FailureHold& operator=(const FailureHold&) = delete;

private:
    Channels& m_channels;
    bool m_previous;
};

} // namespace records
