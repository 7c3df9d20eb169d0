#include "registers/employee_store.h"

#include <filesystem>
#include <span>

#include "records/file_lock.h"
#include "records/host_paths.h"
#include "records/record_file.h"
#include "records/text.h"
#include "registers/record_slot.h"

namespace registers {

namespace {

constexpr const char* kUnreadRecord
    = "Il record del dipendente non e' stato letto per intero: nessuna modifica salvata ";

constexpr std::size_t kRecordLength = payroll::kEmployeeRecordLength;
// In the folder "pagmar" the 12-character entry 216 follows entry 214, and the record's
// further layout is not known there.
using payroll::employee::kLastCommonEntry;
using payroll::employee::kPagmarPost95;
constexpr auto kPagmarPost95Position = static_cast<std::size_t>(payroll::employee::kPagmarPost95Position);
constexpr auto kPagmarPost95Length = static_cast<std::size_t>(payroll::employee::kPagmarPost95Length);
// Entries of the folder "paghe" that the window shows beside entries 1 to 20.
using payroll::employee::kOperatingUnit;
using payroll::employee::kPayKind;
using payroll::employee::kPost95;
// Entries 1 to 20 are the ones every box of the window shows.
constexpr int kBoxedEntries = 20;

// The entries a save writes: entries 1 to 20 and those of the further boxes of the folder.
std::vector<int> boxedEntries(int dataAreaSelector)
{
    std::vector<int> entries;
    for (int k = 1; k <= kBoxedEntries; ++k)
        entries.push_back(k);
    if (dataAreaSelector == kPagmarArea) {
        entries.push_back(kPagmarPost95);
    } else {
        entries.push_back(kPayKind);
        entries.push_back(kPost95);
        entries.push_back(kOperatingUnit);
    }
    return entries;
}

// The failure of a read that left no whole record: the file's, which a failed read always
// gives.
StoreResult readFailure(const records::FileResult& read)
{
    StoreResult failure = StoreResult::ofFile(read);
    if (failure.ok())
        failure = {StoreResult::Outcome::FileFailed, 0, {}, {}};
    return failure;
}

} // namespace

EmployeeStore::EmployeeStore(const records::PathMapper& paths, std::string fileName, int dataAreaSelector)
    : m_paths(paths)
    , m_fileName(std::move(fileName))
    , m_dataAreaSelector(dataAreaSelector == kPagmarArea ? kPagmarArea : kPagheArea)
{
}

bool EmployeeStore::exists() const
{
    return m_paths.fileExists(m_fileName);
}

std::int64_t EmployeeStore::recordsInFile() const
{
    std::error_code error;
    const auto size = std::filesystem::file_size(m_paths.hostPath(m_fileName), error);
    if (error)
        return 0;
    return static_cast<std::int64_t>((size + kRecordLength - 1) / kRecordLength);
}

StoreResult EmployeeStore::checkExists() const
{
    if (exists())
        return {};
    return {StoreResult::Outcome::FileMissing, 0, "Archivio inesistente " + m_fileName, {}};
}

StoreResult EmployeeStore::checkWritable(const EmployeeRecord& shown) const
{
    if (shown.whole)
        return {};
    return {StoreResult::Outcome::NotReadWhole, 0, kUnreadRecord, {}};
}

records::RecordFile EmployeeStore::file() const
{
    return records::RecordFile(m_paths, m_fileName, static_cast<int>(kRecordLength));
}

StoreResult EmployeeStore::open(records::RecordFile& file) const
{
    // Opening a missing file would leave an empty one where the payroll program keeps its own.
    if (StoreResult missing = checkExists(); missing.failed())
        return missing;
    return StoreResult::ofFile(file.open());
}

EmployeeList EmployeeStore::listRecords(const records::RecordFile& file, std::int64_t count)
{
    EmployeeList list;
    std::string record;
    for (std::int64_t k = 1; k <= count; ++k) {
        if (const records::FileResult read = file.read(k, record); read.failed()) {
            list.records.push_back({k, StoreResult::ofFile(read), {}, {}, {}});
            continue;
        }
        if (record.empty() || record[0] != payroll::kInUse)
            continue;
        const auto entry = [&record](int number) {
            const payroll::FieldSlot slot = payroll::employeeLayout().slot(number);
            return std::string(records::mid(record, static_cast<std::size_t>(slot.position),
                                            static_cast<std::size_t>(slot.length)));
        };
        list.records.push_back({k, {}, entry(payroll::employee::kFiscalCode), entry(payroll::employee::kSurname),
                                entry(payroll::employee::kFirstName)});
    }
    return list;
}

EmployeeList EmployeeStore::list(std::int64_t count) const
{
    records::RecordFile employees = file();
    const StoreResult opened = open(employees);
    if (opened.failed())
        return {opened, {}};
    return listRecords(employees, count);
}

EmployeeList EmployeeStore::inspect() const
{
    records::RecordFile employees = file();
    if (const records::FileResult opened = employees.openForReading(); opened.failed())
        return {StoreResult::ofFile(opened), {}};
    return listRecords(employees, recordsInFile());
}

std::vector<std::string> EmployeeStore::entriesOf(const std::string& record) const
{
    std::vector<std::string> entries = payroll::unpackEmployeeEntries(record);
    if (m_dataAreaSelector == kPagmarArea) {
        for (std::size_t k = kLastCommonEntry + 1; k < entries.size(); ++k)
            entries[k].clear();
        entries[kPagmarPost95] = std::string(records::mid(record, kPagmarPost95Position, kPagmarPost95Length));
    }
    return entries;
}

EmployeeRecord EmployeeStore::load(std::int64_t recordNumber) const
{
    EmployeeRecord shown;
    shown.recordNumber = recordNumber;
    std::string record;
    records::RecordFile employees = file();
    shown.read = open(employees);
    if (shown.read.ok())
        shown.read = StoreResult::ofFile(employees.read(recordNumber, record));
    shown.whole = record.size() == kRecordLength;
    shown.entries = entriesOf(record);
    shown.stored = std::move(record);
    return shown;
}

std::vector<int> EmployeeStore::savedEntries() const
{
    return boxedEntries(m_dataAreaSelector);
}

bool EmployeeStore::changedSince(const EmployeeRecord& shown, const std::string& record) const
{
    const auto marker = [](const std::string& bytes) { return bytes.empty() ? '\0' : bytes[0]; };
    if (marker(record) != marker(shown.stored))
        return true;
    const std::vector<std::string> now = entriesOf(record);
    for (const int entry : boxedEntries(m_dataAreaSelector)) {
        const auto k = static_cast<std::size_t>(entry);
        if (k >= now.size() || k >= shown.entries.size() || now[k] != shown.entries[k])
            return true;
    }
    return false;
}

StoreResult EmployeeStore::save(EmployeeRecord& shown, const PersonalPart& part, SaveMode mode)
{
    if (StoreResult refused = checkWritable(shown); refused.failed())
        return refused;
    // The record is compared and written while no other save can write the file.
    records::FileLock lock;
    if (StoreResult busy = lockFile(lock); busy.failed())
        return busy;
    records::RecordFile employees = file();
    if (StoreResult opened = open(employees); opened.failed())
        return opened;
    // The record is read again and changed only where the boxes go: what the payroll
    // program keeps in the other fields stays as it is now in the file.
    std::string record;
    const records::FileResult read = employees.read(shown.recordNumber, record);
    if (record.size() != kRecordLength) {
        // A slot that holds no whole record is not written, so the register never makes
        // one up.
        return readFailure(read);
    }
    if (mode == SaveMode::IfUnchanged && changedSince(shown, record))
        return {StoreResult::Outcome::ChangedOnDisk, 0, {}, record};

    const payroll::FieldLayout& layout = payroll::employeeLayout();
    std::vector<std::string> stored = payroll::unpackEmployeeEntries(record);
    const auto typed = [](const std::string& text, std::size_t width) {
        return records::fitRight(records::toUpper(text), width);
    };
    const auto width = [&layout](int entry) { return static_cast<std::size_t>(layout.slot(entry).length); };
    for (int k = 1; k <= kBoxedEntries; ++k)
        stored[static_cast<std::size_t>(k)] = typed(part.entries[static_cast<std::size_t>(k)], width(k));
    if (m_dataAreaSelector == kPagmarArea) {
        payroll::store(layout, std::span<const std::string>(stored.data(), kBoxedEntries + 1), record);
        record.replace(kPagmarPost95Position - 1, kPagmarPost95Length, typed(part.post95, kPagmarPost95Length));
    } else {
        stored[kPayKind] = typed(part.payKind, width(kPayKind));
        stored[kPost95] = typed(part.post95, width(kPost95));
        stored[kOperatingUnit] = typed(part.operatingUnit, width(kOperatingUnit));
        payroll::store(layout, stored, record);
        const payroll::FieldSlot last = layout.slot(payroll::kEmployeeEntryCount);
        const auto end = static_cast<std::size_t>(last.position + last.length - 1);
        record.replace(end, kRecordLength - end, kRecordLength - end, '\0');
    }
    record[0] = payroll::kInUse;

    RecordSlot slot(employees, shown.recordNumber);
    if (const records::FileResult written = slot.write(record); written.failed())
        return StoreResult::ofFile(written);
    shown.entries = entriesOf(record);
    shown.stored = std::move(record);
    shown.read = {};
    return {};
}

StoreResult EmployeeStore::lockFile(records::FileLock& lock) const
{
    if (lock.acquire(m_paths.hostPath(m_fileName)) == records::FileLock::State::InUse)
        return {StoreResult::Outcome::InUse, 0, records::inUseMessage(m_fileName, lock.owner()), {}};
    return {};
}

StoreResult EmployeeStore::remove(std::int64_t recordNumber)
{
    records::FileLock lock;
    if (StoreResult busy = lockFile(lock); busy.failed())
        return busy;
    records::RecordFile employees = file();
    if (StoreResult opened = open(employees); opened.failed())
        return opened;
    std::string record;
    if (const records::FileResult read = employees.read(recordNumber, record); record.size() != kRecordLength) {
        // Nothing to delete there.
        return readFailure(read);
    }
    RecordSlot slot(employees, recordNumber);
    return StoreResult::ofFile(slot.write(std::string(kRecordLength, '\0')));
}

} // namespace registers
