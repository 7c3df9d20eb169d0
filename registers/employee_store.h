#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "payroll/employee_record.h"
#include "registers/employee_files.h"
#include "registers/store_result.h"

namespace records {
class FileLock;
class PathMapper;
class RecordFile;
} // namespace records

// The employee register as a record store: the employee data file of one company and month,
// its employees in use, one employee record read, its personal part saved, a record deleted.
// No window is needed: the Parteb1 form, the command line's check and the tests use it alike.
namespace registers {

// An employee in use ("$" in position 1) as the list of the register names him, or a record
// of the list that could not be read.
struct ListedEmployee {
    std::int64_t record = 0;
    StoreResult read;       // the record's read failure; Done for an employee in use
    std::string fiscalCode; // entry 1, as stored
    std::string surname;    // entry 2, as stored
    std::string name;       // entry 3, as stored
};

// The employees of records 1 to a count, in record order.
struct EmployeeList {
    // Why the file could not be read at all (missing, or not opened); Done when it was.
    StoreResult opened;
    // Each employee in use and each record that could not be read, in record order.
    std::vector<ListedEmployee> records;
};

// One employee record as the store read it.
struct EmployeeRecord {
    std::int64_t recordNumber = 0;
    // Entries 1 to 267 as the register shows them, every byte kept (index 0 unused). In the
    // folder "pagmar" only entries 1 to 214 and entry 216 (positions 1363-1374) are known;
    // the others are empty.
    std::vector<std::string> entries;
    // Read whole: only then may a save write over it.
    bool whole = false;
    // The record's bytes as read or last saved: a save compares the disk with them.
    std::string stored;
    // Why it could not be read (missing file, failure of the opening or of the read); Done
    // when it was.
    StoreResult read;
};

// What the employee register changes of an employee record, as typed: entries 1 to 20 and
// the three further boxes. A save puts them in upper case and cuts or fills them with blanks
// to their places.
struct PersonalPart {
    std::array<std::string, 21> entries; // entries 1 to 20 (index 0 unused)
    std::string post95;        // "Regime Post 95 S/N": entry 219; in "pagmar" entry 216 (12 characters)
    std::string operatingUnit; // entry 257; not in "pagmar"
    std::string payKind;       // entry 218; not in "pagmar"
};

// The employee data file of one company and month ("C:\nolv\paghe\unb00903.016"), whose
// host file `paths` finds: record k is employee k, 2000 characters, "$" in position 1 while
// in use. Every operation opens the file and closes it again; nothing is shown, every
// failure is handed back. A missing file is never made.
class EmployeeStore {
public:
    // `paths` outlives the store.
    EmployeeStore(const records::PathMapper& paths, std::string fileName, int dataAreaSelector = kPagheArea);

    const std::string& fileName() const { return m_fileName; }
    int dataAreaSelector() const { return m_dataAreaSelector; }
    bool exists() const;
    // The records the file holds, a last one cut short included (so that its reading tells of
    // it); 0 when the file cannot be looked at.
    std::int64_t recordsInFile() const;

    // The employees in use among records 1 to `count`, as the window lists them: a missing
    // file is "Archivio inesistente " + its name.
    EmployeeList list(std::int64_t count) const;
    // Every record of the file for a check, for reading only: nothing is ever created or
    // written; whatever cannot be opened (a link to nothing, a folder, a FIFO) or read (a last
    // record cut short) gives its failure.
    EmployeeList inspect() const;

    // FileMissing ("Archivio inesistente " + the file's name) when the file is not there;
    // Done otherwise.
    StoreResult checkExists() const;

    // Reads record `recordNumber`.
    EmployeeRecord load(std::int64_t recordNumber) const;
    // NotReadWhole ("Il record del dipendente non e' stato letto per intero: nessuna modifica
    // salvata ") when `shown` was not read whole; Done otherwise.
    StoreResult checkWritable(const EmployeeRecord& shown) const;
    // Writes `part` into the record `shown`, refused as checkWritable() says. The
    // record is read again and changed only where the boxes go: entries 1 to 20 and, in
    // "paghe", entries 218, 219 and 257, then "$" in position 1 and NULs after the last entry;
    // in "pagmar" entries 1 to 20 and entry 216, every other character as stored. A slot that
    // holds no whole record now is not written (its read failure is handed back); a failed
    // write leaves the file as it was. After a save, `shown` is the record as stored now.
    //
    // One save at a time writes the file: a save while another one (of this program or
    // another) holds it is InUse. With IfUnchanged, a record whose "$" or boxed entries on
    // the disk are no longer those of `shown` (another clerk saved or deleted it since it was
    // read) is not written: ChangedOnDisk, with the record as it is now. What the payroll
    // program changed in the other entries meanwhile is no conflict: it is kept.
    StoreResult save(EmployeeRecord& shown, const PersonalPart& part, SaveMode mode = SaveMode::IfUnchanged);
    // Entries 1 to 267 of a record as load() gives them (see EmployeeRecord::entries).
    std::vector<std::string> entriesOf(const std::string& record) const;
    // The entries a save writes: 1 to 20, and 218, 219 and 257 in "paghe", 216 in "pagmar".
    std::vector<int> savedEntries() const;

    // Writes 2000 NULs over record `recordNumber` (its first character is then no longer "$"),
    // only where the file holds the record whole; InUse while another save holds the file.
    StoreResult remove(std::int64_t recordNumber);

private:
    // Opens `file` for reading and writing; FileMissing without touching it when it is not
    // there.
    StoreResult open(records::RecordFile& file) const;
    records::RecordFile file() const;
    // Whether `record`, as the disk holds it now, differs from `shown` where a save writes.
    bool changedSince(const EmployeeRecord& shown, const std::string& record) const;
    // Takes the file for a save: InUse while another save holds it.
    StoreResult lockFile(records::FileLock& lock) const;
    static EmployeeList listRecords(const records::RecordFile& file, std::int64_t count);

    const records::PathMapper& m_paths;
    std::string m_fileName;
    int m_dataAreaSelector;
};

} // namespace registers
