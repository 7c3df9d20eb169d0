#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payroll/company_register.h"
#include "registers/store_result.h"

namespace records {
struct Installation;
class PathMapper;
} // namespace records

// The company register as a record store: which companies have a master record in the
// working year (the company scan), and a company's master record read, saved and blanked.
// No window is needed: the fDitta form, the command line's check and the tests use it alike.
namespace registers {

// Where a company's master record lies: a record of a file whose records hold at least the
// 344 characters of a company record. A company of the scan has its record 1 of the company
// file "dittg" (records of 800 characters).
struct CompanyRecordPlace {
    std::string fileName; // installation notation
    int recordLength = payroll::kCompanyFileRecordLength;
    std::int64_t recordNumber = 1;
};

// A company's master record as the store read it.
struct CompanyRecord {
    enum class State {
        // Nothing read yet, or the file holds part of the record only, or could not be read:
        // what the boxes show must never replace what is stored.
        Unread,
        // Read whole.
        Whole,
        // No file, or the file ends before the record: a save makes it.
        Absent,
    };

    CompanyRecordPlace place;
    payroll::CompanyFields fields; // as stored, blanks kept; empty where nothing was read
    // The record's bytes as read or last saved (as much of the slot as the file held): a
    // save compares the disk with them.
    std::string stored;
    bool inUse = false;            // "$" in position 1: the record has been saved
    State state = State::Unread;
    // The failure met reading it, for the operator (also where the file ends before the
    // record, which a save then makes); Done when none.
    StoreResult read;

    bool readWhole() const { return state == State::Whole; }
    // Whether a save may write this record's slot.
    bool writable() const { return state != State::Unread; }
};

// A company of the scan as the operator picks it: its number and its name (field 2 of its
// master record, blanks trimmed; empty while the record has never been saved).
struct CompanyChoice {
    int company = 0;
    std::string name;
};

// The company register of an installation, whose files `paths` finds. Every operation opens
// the file it needs and closes it again. Nothing is shown: every failure is handed back.
class CompanyStore {
public:
    // `paths` and `installation` outlive the store.
    CompanyStore(const records::PathMapper& paths, const records::Installation& installation);

    // The company scan: the companies of the working year whose file exists, ascending. One
    // listing of the data directory tells which company folders there are; only their files
    // are looked up.
    std::vector<int> companies() const;
    // The companies under whose file name something lies, whatever it is (a file, a folder, a
    // link that leads nowhere), ascending: what a check of the register must look at, so that
    // a file that cannot be read is told of rather than passed over.
    std::vector<int> companiesNamed() const;
    // The file name of company n, in the installation's notation (see companyFileName()).
    std::string fileName(int company) const;
    // Where company n's master record lies: record 1 of its file.
    CompanyRecordPlace placeOf(int company) const;

    // The name of company n (field 2 trimmed); empty when its file does not exist, cannot be
    // read or holds no saved record. Nothing is created; failures are dropped.
    std::string companyName(int company) const;
    // The companies of the scan with their names.
    std::vector<CompanyChoice> choices() const;

    // Reads the record at `place` as the company window shows it: a company whose file is not
    // there yet is Absent and nothing is created; a file that ends before the record is
    // Absent too (with the failure of the read); one that ends inside it, or cannot be
    // opened or read, is Unread.
    CompanyRecord load(const CompanyRecordPlace& place) const;
    // Reads record 1 of company n for a check, for reading only: nothing is ever created or
    // written. Absent when nothing has the file's name; Unread, with the failure, when
    // something does and cannot be read (a link to nothing, a folder, a FIFO, a record cut
    // short); Whole otherwise.
    CompanyRecord inspect(int company) const;

    // NotReadWhole ("Il record della ditta non e' stato letto per intero: nessuna modifica
    // salvata ") when `record` may not be written; Done otherwise.
    StoreResult checkWritable(const CompanyRecord& record) const;
    // Writes "$" and fields 1 to 34 (each cut or filled with blanks to its length) into the
    // slot of `record`, refused as checkWritable() says. Within an existing slot what lies
    // after the company's fields stays as it is; where the file ends inside the slot (a new
    // company) the record is completed with blanks. A failed write leaves the stored file as
    // it was, and a file that this save made is removed again. After a save, `record` is the
    // record as stored now.
    //
    // One save at a time writes the file: a save while another one (of this program or
    // another) holds it is InUse. With IfUnchanged, a record whose "$" and fields on the disk
    // are no longer those of `record` (another clerk saved it since it was read) is not
    // written: ChangedOnDisk, with the record as it is now.
    StoreResult save(CompanyRecord& record, const payroll::CompanyFields& fields,
                     SaveMode mode = SaveMode::IfUnchanged);
    // Saves the record with every field blank: "$" and 343 blanks.
    StoreResult blank(CompanyRecord& record, SaveMode mode = SaveMode::IfUnchanged);

private:
    const records::PathMapper& m_paths;
    const records::Installation& m_installation;
};

} // namespace registers
