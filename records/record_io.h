#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "records/file_result.h"

// Beneath the record files (record_file.h): the texts of their failure messages and the
// transfers on a file that is already open. A feature works with RecordFile, TextFile and
// NewFile; it needs this header only for writeAllAt() and startWritebackOf(), on a descriptor
// of its own (a writer thread).
namespace records {

// The failure messages of the record files, built by plain concatenation as the payroll
// suite has always built them. Error numbers, record numbers and line numbers are written
// with the sign blank of a number that is not negative ("Errore tipo  53", "al record  2").
namespace file_message {

// "Errore tipo " + error + " nell'apertura del file sequenziale" + name (no blank before it).
std::string openSequential(int error, std::string_view fileName);
// "Errore di scrittura tipo " + error + " nel file " + name + " al record " + line number.
std::string writeLine(int error, std::string_view fileName, double lineNumber);
// "Errore tipo " + error + " nell'apertura del  file binario" + name (two blanks before
// "file", none before the name).
std::string openBinary(int error, std::string_view fileName);
// "Errore tipo " + error + " nella creazione del file " (no name follows).
std::string createFile(int error);
// The same followed by the name: a new file that could not be given its name.
std::string nameNewFile(int error, std::string_view fileName);
// "Errore di lettura tipo " + error + " nel file binario " + name + " al record " + number.
std::string readRecord(int error, std::string_view fileName, double recordNumber);
// "Errore di scrittura tipo " + error + " nel file binario " + name + " al record " + number.
std::string writeRecord(int error, std::string_view fileName, double recordNumber);
// "Errore di lettura tipo " + error + " nel file " + name + " al record " + number: the read
// of a table looked up by record number (the municipality table).
std::string lookUpRecord(int error, std::string_view fileName, double recordNumber);

} // namespace file_message

namespace record_io {

// Which message a failed read shows.
enum class ReadKind { Record, LookUp };

// Reads `recordLength` bytes of record `recordNumber` of the file open on `descriptor` into
// `record`. Record n lies at byte (n - 1) * L; its position (n - 1) * L + 1 must be a 32-bit
// whole number, as the payroll suite's programs address their files. Any failure (nothing
// open: -1, error 52; a length below 1: 59; a position beyond 32 bits, above or below: 6;
// a record number below 1: 63; the end of the file inside the record: 62) leaves `record`
// empty, so that no reader mistakes an earlier record for this one.
FileResult readRecord(int descriptor, std::string_view fileName, int recordLength, std::int64_t recordNumber,
                      std::string& record, ReadKind kind = ReadKind::Record);
// Writes `bytes` unchanged at the position of record `recordNumber` (they may be shorter
// than a record, or hold several). Failures as for readRecord(); a file open only for
// reading refuses the write with error 75. The message names `recordNumber`.
FileResult writeRecord(int descriptor, std::string_view fileName, int recordLength, std::int64_t recordNumber,
                       std::string_view bytes);
// Writes `bytes` as they stand at the file's position (a sequential file); a failure names
// line `lineNumber`.
FileResult writeText(int descriptor, std::string_view fileName, std::int64_t lineNumber, std::string_view bytes);

} // namespace record_io

// Writes all of `bytes` at byte `offset` of the file open on `descriptor`, again after an
// interruption: 0 when every byte was written, else the system's error number (ENOSPC when
// the file takes no more bytes). Shows nothing; safe on any thread.
int writeAllAt(int descriptor, std::string_view bytes, std::int64_t offset);
// Asks the system to start writing the file open on `descriptor` to the disk, without
// waiting for it; nothing where the system offers no such request.
void startWritebackOf(int descriptor);

} // namespace records
