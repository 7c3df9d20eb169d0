#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "payroll/cu_archive.h"
#include "cu/telematic/field_writer.h"
#include "payroll/cu_header.h"
#include "testing/cu_headers.h"
#include "records/host_paths.h"
#include "records/record_file.h"
#include "testing/file_size_limit.h"
#include "testing/scripted_prompter.h"
#include "testing/temp_root.h"

namespace cu::telematic::testing {

// A new telematic file in a fresh installation root, and a writer on it.
struct TelematicFileTest : ::testing::Test {
    records::testing::TempRoot root;
    records::PathMapper paths{root.path()};
    records::testing::ScriptedPrompter prompter;
    records::NewFile file = records::NewFile::ofRecords(paths, "c:\\out.tel", kTelematicRecordLength);
    TelematicWriter writer{file, prompter};

    void SetUp() override { ASSERT_TRUE(file.create().ok()); }
    // The writer's keys for an employee of a sample withholding agent, at certification
    // `number`.
    RecordKeys& sampleKeys(int number)
    {
        RecordKeys& keys = writer.keys();
        keys.agentFiscalCode = "01234567890     ";
        keys.employeeFiscalCode = "RSSMRA70A01F205X";
        keys.certificationNumber = number;
        return keys;
    }
    // What the file holds so far, before it has its name.
    std::string telematicFile() { return records::testing::TempRoot::readFile(file.temporaryHostPath()); }
};

using records::testing::FileSizeLimit;

// Splits a telematic file into its records; checks that each is 1900 bytes with "A" CR LF.
inline std::vector<std::string> splitRecords(const std::string& file)
{
    std::vector<std::string> result;
    EXPECT_EQ(file.size() % kTelematicRecordLength, 0u) << "file of " << file.size() << " bytes";
    for (std::size_t at = 0; at + kTelematicRecordLength <= file.size(); at += kTelematicRecordLength) {
        result.push_back(file.substr(at, kTelematicRecordLength));
        EXPECT_EQ(result.back().substr(kBodyLength), "A\r\n") << "record " << result.size();
    }
    return result;
}

// The record types of a telematic file in order, e.g. "ABCDGZ".
inline std::string recordTypes(const std::vector<std::string>& records)
{
    std::string types;
    for (const std::string& record : records)
        types.push_back(record[0]);
    return types;
}

// The non-positional fields of a record C, D or G, up to the first blank slot.
inline std::vector<std::string> fieldsOf(const std::string& record)
{
    std::vector<std::string> fields;
    for (std::size_t at = kPositionalLength; at + kFieldLength <= 1889; at += kFieldLength) {
        const std::string field = record.substr(at, kFieldLength);
        if (field == std::string(kFieldLength, ' '))
            break;
        fields.push_back(field);
    }
    return fields;
}

// "CODE" + value padded to 24 characters, as a field appears in a record.
inline std::string field(const std::string& code, const std::string& value)
{
    std::string text = code + value;
    text.resize(kFieldLength, ' ');
    return text;
}

// Characters [from, to] (1-based, inclusive) of a record.
inline std::string at(const std::string& record, std::size_t from, std::size_t to)
{
    return record.substr(from - 1, to - from + 1);
}

// An employee's CU fields with the personal data that quadro DA reports.
inline payroll::CuFields sampleEmployee(const std::string& fiscalCode, const std::string& surname, const std::string& name)
{
    payroll::CuFields f;
    f.cu[1] = fiscalCode;
    f.cu[2] = surname;
    f.cu[3] = name;
    f.cu[4] = "M";
    f.cu[5] = "01011970";
    f.cu[6] = "MILANO";
    f.cu[7] = "MI";
    f.cu[9] = "1";
    f.cu[10] = "1";
    f.cu[11] = "MILANO";
    f.cu[12] = "MI";
    f.cu[13] = "F205";
    f.cu[14] = "MILANO";
    f.cu[15] = "MI";
    f.cu[16] = "F205";
    f.cu[22] = "25000.00";
    return f;
}

// A CU archive made of `records` (archive records of 6000 characters each).
inline std::string archiveFile(const std::vector<std::string>& records)
{
    std::string file;
    for (const std::string& record : records)
        file += record;
    return file;
}

} // namespace cu::telematic::testing
