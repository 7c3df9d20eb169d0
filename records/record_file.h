#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records/file_result.h"

// The files of the payroll suite as objects: a fixed-length record file (RecordFile), a
// sequential text file (TextFile) and a new file written whole and given its name at the end
// (NewFile). Every operation returns a FileResult, with the classic error number and the
// message as the operator has always been shown it; nothing here shows anything. The caller
// shows a failed result (showFailure()) at the moment the operator is to learn it, so that
// the messages keep the order of the work.
//
// Names are in installation notation ("c:\disco.ute", drive prefix + "\nolv\..."), mapped to
// host paths by the PathMapper, which must outlive the object. A name with a control
// character (see hasControlCharacter()) is refused with error 64 by every open and create,
// before the host is asked anything. A path that the host cannot follow (a loop of links, a
// name too long, a folder that cannot be entered) gives its error number like any other
// failure.
//
// How a feature uses these objects, and where it shows their results, is told in
// records/README.md.
namespace records {

class OutputFile;
class PathMapper;

// A fixed-length record file: record n occupies the bytes (n - 1) * L + 1 to n * L of the
// file (1-based), L being the record length; no separator stands between records unless the
// writer puts one in the record. Closed when the object goes.
class RecordFile {
public:
    // Names no file; every operation fails with error 52.
    RecordFile() = default;
    RecordFile(const PathMapper& paths, std::string name, int recordLength);
    ~RecordFile();
    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const std::string& name() const { return m_name; }
    int recordLength() const { return m_recordLength; }
    bool isOpen() const { return m_descriptor >= 0; }
    std::filesystem::path hostPath() const;

    // Opens the file for reading and writing ("Errore tipo  N nell'apertura del  file
    // binario" + name). A missing file is created empty, only where nothing has the name: a
    // link that leads nowhere is never followed to create its target, it fails as a missing
    // file (53). A file that may only be read is opened for reading: writes then fail (75).
    // An open file is closed first.
    FileResult open();
    // Opens an existing plain file for reading only, with the message of open(); nothing is
    // ever created. A missing file (or a link to nothing) is error 53, 76 when its folder is
    // missing too; a folder, a FIFO or a device is error 75 and is never waited on.
    FileResult openForReading();
    // Makes the file empty ("Errore tipo  N nella creazione del file ", no name) and leaves
    // it closed: the empty file takes the place of whatever had the name (an earlier file, a
    // link, a FIFO) all at once, and nothing is written through a link. A missing folder is
    // error 76.
    FileResult create();

    // Reads record `recordNumber` into `record` ("Errore di lettura tipo  N nel file binario "
    // + name + " al record " + number). Any failure leaves `record` empty: a record past the
    // end of the file, or cut short by it (62); a number below 1 (63) or too large to address
    // (6); a file not open (52).
    FileResult read(std::int64_t recordNumber, std::string& record) const;
    // As read(), with the message of a table looked up by record number ("Errore di lettura
    // tipo  N nel file " + name + ...), as the municipality lookup shows it.
    FileResult lookUp(std::int64_t recordNumber, std::string& record) const;
    // Reads `count` records from record `first` on with as few reads as the system allows.
    // After a success `records` holds count * L bytes. When a record cannot be read, `records`
    // holds the records before it, read whole, and the result is that of read() of that
    // record: the message names the first record missing.
    FileResult readRecords(std::int64_t first, std::int64_t count, std::string& records) const;
    // Writes `bytes` unchanged where record `recordNumber` starts ("Errore di scrittura tipo
    // N nel file binario " + name + " al record " + number). Shorter bytes leave the rest of
    // the record as it was (or absent at the end of the file); longer ones run on into the
    // records that follow. Writing record 3 of an empty file of 1900-byte records places the
    // bytes at byte 3801 (1-based).
    FileResult write(std::int64_t recordNumber, std::string_view bytes);

    void close();
    // A descriptor of its own for the open file, for work on another thread; -1 when the
    // file is not open or the system refuses. Whoever receives it closes it.
    int duplicateDescriptor() const;

private:
    const PathMapper* m_paths = nullptr;
    std::string m_name;
    int m_recordLength = 0;
    int m_descriptor = -1;
};

// A sequential text file written line by line, each line followed by CR LF. Closed when the
// object goes.
class TextFile {
public:
    TextFile() = default;
    TextFile(const PathMapper& paths, std::string name);
    ~TextFile();
    TextFile(TextFile&& other) noexcept;
    TextFile& operator=(TextFile&& other) noexcept;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    const std::string& name() const { return m_name; }
    bool isOpen() const { return m_descriptor >= 0; }
    std::filesystem::path hostPath() const;

    // Opens the file for writing, created or emptied ("Errore tipo  N nell'apertura del file
    // sequenziale" + name, no blank before the name). A link under the name is refused (75),
    // never written through; so is anything that is not a plain file, a FIFO included,
    // without waiting for its reader. A missing folder is error 76.
    FileResult open();
    // Writes `line` and CR LF ("Errore di scrittura tipo  N nel file " + name + " al record "
    // + the line's number, counting from 1 since the file was opened).
    FileResult writeLine(std::string_view line);
    // Writes `count` whole lines at once, each already ended by CR LF: the same bytes as
    // `count` calls of writeLine(). A failure names the last of them.
    FileResult writeLines(std::string_view lines, std::int64_t count);
    // The number of the last line handed to the file.
    std::int64_t lineCount() const { return m_lineCount; }

    void close();

private:
    const PathMapper* m_paths = nullptr;
    std::string m_name;
    int m_descriptor = -1;
    std::int64_t m_lineCount = 0;
};

// A file written whole under a temporary name beside its final name, and given that name
// only by commit(), once every byte is on the disk: until then a file of the final name stays
// as it was, and a file that is not committed (discarded, or the object gone, or the program
// stopped by a signal) leaves nothing behind. It holds records (written by record number, as
// a RecordFile) or lines (written in order, as a TextFile).
//
// A writer thread (WriteBehind) may write into it through duplicateDescriptor(); what it
// wrote must have been waited for before commit(), and the writer tells the file how many
// records or lines it holds (setWrittenCount()) so that a failed push names the last.
class NewFile {
public:
    NewFile();
    // A new file of records of `recordLength` bytes.
    static NewFile ofRecords(const PathMapper& paths, std::string name, int recordLength);
    // A new text file of lines.
    static NewFile ofLines(const PathMapper& paths, std::string name);
    ~NewFile();
    NewFile(NewFile&& other) noexcept;
    NewFile& operator=(NewFile&& other) noexcept;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    const std::string& name() const { return m_name; }
    bool holdsLines() const { return m_lines; }
    int recordLength() const { return m_recordLength; }
    // True from create() until commit() or discard().
    bool isOpen() const;
    // Host path of the final name.
    std::filesystem::path hostPath() const;
    // Host path of the temporary file while the file has no name yet; empty otherwise.
    std::filesystem::path temporaryHostPath() const;
    // Host path that commit() gives the file, as create() found it, without looking the
    // final name up in its folders again; empty when none is open.
    std::filesystem::path targetHostPath() const;

    // Creates the temporary file, exclusively (never an existing file, never through a link),
    // in the folder of the final name. A failure shows, for records, the message of a created
    // record file ("Errore tipo  N nella creazione del file "), for lines that of an opened
    // sequential file. A missing folder is error 76; a folder of the final name is refused at
    // once (75): the file could never take its name.
    FileResult create();
    // Records: writes `bytes` where record `recordNumber` starts, as RecordFile::write().
    FileResult write(std::int64_t recordNumber, std::string_view bytes);
    // Lines: as TextFile::writeLine() and TextFile::writeLines(), at the file's position (after
    // the lines written so by this object).
    FileResult writeLine(std::string_view line);
    FileResult writeLines(std::string_view lines, std::int64_t count);
    // Lines: `count` whole lines, each ended by CR LF, written at byte `offset` of the file
    // and numbered up to `lastLine`: what a writer thread could not write, written again here.
    FileResult writeLinesAt(std::int64_t offset, std::string_view lines, std::int64_t lastLine);
    // The records (the number of the last one) or lines the file holds, for a writer that
    // writes around the object; write() and the line writes keep it themselves.
    void setWrittenCount(std::int64_t count) { m_writtenCount = count; }

    // Pushes the file to the disk and gives it its name, replacing any file of that name.
    // A failed push shows the message of a failed write (naming the last record or line
    // written); a failed rename "Errore tipo  N nella creazione del file " + name. After a
    // failure the new file is gone and the earlier file of the name untouched; only when the
    // final push of the folder fails does the file already have its new bytes. The file is
    // closed either way; error 52 when none was created.
    FileResult commit();
    // Closes and removes the temporary file; an earlier file of the name stays as it was.
    void discard();

    // A descriptor of its own for the temporary file, for a writer thread; -1 when none is
    // open or the system refuses. Whoever receives it closes it.
    int duplicateDescriptor() const;
    // Asks the system to start writing what was written to the disk, without waiting for it,
    // so that little is left to push at commit(); nothing where the system cannot.
    void startWriteback() const;

    // Removes from the folder of the final name what runs that did not end left there (see
    // OutputFile::removeLeftovers()): returns the host names of the temporary files removed.
    std::vector<std::string> removeLeftovers() const;

private:
    int descriptor() const;

    const PathMapper* m_paths = nullptr;
    std::string m_name;
    int m_recordLength = 0;
    bool m_lines = false;
    std::unique_ptr<OutputFile> m_file;
    std::int64_t m_writtenCount = 0; // the last record or line written, which a failed push names
};

// What a run tells the operator when it removed temporary files (host names) that runs which
// did not end had left in its folder: "Rimosso il file temporaneo " + name + " lasciato da
// un'elaborazione interrotta ", or for several "Rimossi " + count + " file temporanei lasciati
// da elaborazioni interrotte: " + the names + " ". Empty for none.
std::string leftoversMessage(const std::vector<std::string>& removed);

} // namespace records
