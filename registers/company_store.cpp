#include "registers/company_store.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "payroll/field_layout.h"
#include "records/file_lock.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/record_file.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/record_slot.h"

namespace registers {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUnreadRecord
    = "Il record della ditta non e' stato letto per intero: nessuna modifica salvata ";

// True when something of that name is in its folder, whatever it is: a file, a folder, a
// FIFO, a link that leads nowhere.
bool entryExists(const records::PathMapper& paths, const std::string& path)
{
    std::error_code error;
    const fs::path host = paths.hostPath(path);
    return !host.empty() && fs::exists(fs::symlink_status(host, error));
}

// The companies whose folder the data directory holds and whose file `present` finds.
template <typename Present>
std::vector<int> scan(const records::PathMapper& paths, const records::Installation& installation, Present present)
{
    const std::vector<std::string> entries = paths.listDirectory(records::trim(installation.dataDirectory));
    const std::unordered_set<std::string> folders(entries.begin(), entries.end());
    std::vector<int> companies;
    for (int n = 1; n <= kMaxCompany; ++n) {
        if (folders.contains(records::digitsText(n)) && present(companyFileName(installation, n)))
            companies.push_back(n);
    }
    return companies;
}

// What a save writes of a record: "$" and the company's fields; the rest of the slot is not
// the register's.
std::string_view savedPart(std::string_view record)
{
    return record.substr(0, std::min(record.size(), payroll::kCompanyRecordUsed));
}

} // namespace

CompanyStore::CompanyStore(const records::PathMapper& paths, const records::Installation& installation)
    : m_paths(paths)
    , m_installation(installation)
{
}

std::vector<int> CompanyStore::companies() const
{
    const records::PathMapper& paths = m_paths;
    return scan(paths, m_installation, [&paths](const std::string& file) { return paths.fileExists(file); });
}

std::vector<int> CompanyStore::companiesNamed() const
{
    const records::PathMapper& paths = m_paths;
    return scan(paths, m_installation, [&paths](const std::string& file) { return entryExists(paths, file); });
}

std::string CompanyStore::fileName(int company) const
{
    return companyFileName(m_installation, company);
}

CompanyRecordPlace CompanyStore::placeOf(int company) const
{
    return {fileName(company), payroll::kCompanyFileRecordLength, 1};
}

std::string CompanyStore::companyName(int company) const
{
    const std::string file = fileName(company);
    if (!m_paths.fileExists(file))
        return {};
    // A record that cannot be read only leaves the name out; the window that opens the
    // company will tell.
    records::RecordFile names(m_paths, file, payroll::kCompanyFileRecordLength);
    std::string record;
    if (names.open().ok())
        (void)names.read(1, record);
    if (record.empty() || record[0] != payroll::kInUse)
        return {};
    return std::string(records::trim(payroll::unpackCompanyRecord(record)[payroll::company_field::kName]));
}

std::vector<CompanyChoice> CompanyStore::choices() const
{
    std::vector<CompanyChoice> found;
    for (const int company : companies())
        found.push_back({company, companyName(company)});
    return found;
}

CompanyRecord CompanyStore::load(const CompanyRecordPlace& place) const
{
    CompanyRecord record;
    record.place = place;
    std::string bytes;
    // A company whose file is not there yet starts blank; the file is made by the first save.
    record.state = CompanyRecord::State::Absent;
    if (!place.fileName.empty() && m_paths.fileExists(place.fileName)) {
        record.state = CompanyRecord::State::Unread;
        records::RecordFile file(m_paths, place.fileName, place.recordLength);
        records::FileResult result = file.open();
        if (result.ok()) {
            result = file.read(place.recordNumber, bytes);
            if (bytes.size() == static_cast<std::size_t>(place.recordLength)) {
                record.state = CompanyRecord::State::Whole;
            } else {
                // Where the file ends before the slot there is nothing to lose; where it
                // holds part of the record, the empty boxes must never replace it.
                const RecordSlot slot(file, place.recordNumber);
                if (slot.known() && slot.bytesBefore().empty())
                    record.state = CompanyRecord::State::Absent;
            }
        }
        record.read = StoreResult::ofFile(result);
    }
    record.inUse = !bytes.empty() && bytes[0] == payroll::kInUse;
    record.fields = payroll::unpackCompanyRecord(bytes);
    record.stored = std::move(bytes);
    return record;
}

CompanyRecord CompanyStore::inspect(int company) const
{
    CompanyRecord record;
    record.place = placeOf(company);
    record.state = CompanyRecord::State::Absent;
    if (!entryExists(m_paths, record.place.fileName))
        return record;
    // The register files are only read: no file is created, and whatever is not a plain file
    // is named with its failure.
    record.state = CompanyRecord::State::Unread;
    records::RecordFile file(m_paths, record.place.fileName, record.place.recordLength);
    record.read = StoreResult::ofFile(file.openForReading());
    if (record.read.failed())
        return record;
    std::string bytes;
    record.read = StoreResult::ofFile(file.read(1, bytes));
    file.close();
    if (record.read.failed())
        return record;
    record.state = CompanyRecord::State::Whole;
    record.inUse = !bytes.empty() && bytes[0] == payroll::kInUse;
    record.fields = payroll::unpackCompanyRecord(bytes);
    return record;
}

StoreResult CompanyStore::checkWritable(const CompanyRecord& record) const
{
    if (record.writable())
        return {};
    return {StoreResult::Outcome::NotReadWhole, 0, kUnreadRecord, {}};
}

StoreResult CompanyStore::save(CompanyRecord& record, const payroll::CompanyFields& fields, SaveMode mode)
{
    if (StoreResult refused = checkWritable(record); refused.failed())
        return refused;
    const CompanyRecordPlace& place = record.place;
    const std::string packed = payroll::packCompanyRecord(fields);

    // The record is compared and written while no other save can write the file.
    records::FileLock lock;
    if (lock.acquire(m_paths.hostPath(place.fileName)) == records::FileLock::State::InUse)
        return {StoreResult::Outcome::InUse, 0, records::inUseMessage(place.fileName, lock.owner()), {}};

    // A file that this save makes and cannot fill is taken away again: an empty company file
    // would be listed as a company that cannot be read.
    const bool existed = m_paths.fileExists(place.fileName);
    const auto removeIfMadeHere = [&] {
        if (existed)
            return;
        std::error_code error;
        const fs::path made = m_paths.hostPath(place.fileName);
        if (fs::is_regular_file(fs::symlink_status(made, error)))
            fs::remove(made, error);
    };
    records::RecordFile file(m_paths, place.fileName, place.recordLength);
    if (const records::FileResult opened = file.open(); opened.failed()) {
        removeIfMadeHere();
        return StoreResult::ofFile(opened); // nothing was written
    }

    RecordSlot slot(file, place.recordNumber);
    std::string output = packed;
    const std::string& before = slot.bytesBefore();
    if (mode == SaveMode::IfUnchanged && slot.known() && savedPart(before) != savedPart(record.stored)) {
        file.close();
        removeIfMadeHere();
        return {StoreResult::Outcome::ChangedOnDisk, 0, {}, before};
    }
    if (slot.known() && before.size() < static_cast<std::size_t>(place.recordLength)) {
        // The file ends inside the slot (a new company): the record is completed with
        // blanks, so that it can be read back whole. Within an existing slot, what lies
        // after the company's fields stays as it is.
        if (before.size() > output.size())
            output += before.substr(output.size());
        output.resize(static_cast<std::size_t>(place.recordLength), records::kBlank);
    }
    const records::FileResult written = slot.write(output);
    file.close();
    if (written.failed()) {
        removeIfMadeHere();
        return StoreResult::ofFile(written);
    }
    record.state = CompanyRecord::State::Whole;
    record.read = {};
    record.inUse = true;
    record.fields = payroll::unpackCompanyRecord(packed);
    record.stored = before.size() > output.size() ? output + before.substr(output.size()) : output;
    return {};
}

StoreResult CompanyStore::blank(CompanyRecord& record, SaveMode mode)
{
    return save(record, payroll::CompanyFields{}, mode);
}

} // namespace registers
