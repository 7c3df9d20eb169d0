#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "check/tests/check_test_support.h"

// The program's own files, written once on the demo installation, and the changes the
// tests of the check make to them: a byte or a field written over, a record or an element
// taken out, a text replaced, lines taken out or swapped.
namespace check::testing {

using Damage = std::function<void(std::string&)>;

inline constexpr std::size_t kRecord = 1900;

// Writes `text` over record `record` from position `position` (both from 1).
inline Damage put(int record, int position, std::string text)
{
    return [=](std::string& bytes) {
        bytes.replace((static_cast<std::size_t>(record) - 1) * kRecord + static_cast<std::size_t>(position) - 1,
                      text.size(), text);
    };
}

inline Damage removeRecord(int record)
{
    return [=](std::string& bytes) { bytes.erase((static_cast<std::size_t>(record) - 1) * kRecord, kRecord); };
}

// Takes the element at `position` out of its record; the ones after it move up.
inline Damage removeElement(int record, int position)
{
    return [=](std::string& bytes) {
        const std::size_t start = (static_cast<std::size_t>(record) - 1) * kRecord;
        const std::size_t at = start + static_cast<std::size_t>(position) - 1;
        const std::size_t areaEnd = start + 1889;
        bytes.erase(at, 24);
        bytes.insert(areaEnd - 24, std::string(24, ' '));
    };
}

// Replaces occurrence `nth` (from 1) of `from`, which must be there.
inline Damage replace(std::string from, std::string to, int nth = 1)
{
    return [=](std::string& bytes) {
        auto at = bytes.find(from);
        for (int k = 1; k < nth && at != std::string::npos; ++k)
            at = bytes.find(from, at + from.size());
        if (at == std::string::npos)
            throw std::logic_error("not in the file: " + from);
        bytes.replace(at, from.size(), to);
    };
}

// Replaces every occurrence of `from`, of which there is at least one.
inline Damage replaceAll(std::string from, std::string to)
{
    return [=](std::string& bytes) {
        std::size_t found = 0;
        for (auto at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size())) {
            bytes.replace(at, from.size(), to);
            ++found;
        }
        if (found == 0)
            throw std::logic_error("not in the file: " + from);
    };
}

// Several changes, one after the other.
inline Damage all(std::vector<Damage> damages)
{
    return [=](std::string& bytes) {
        for (const Damage& damage : damages)
            damage(bytes);
    };
}

// The XML file's line `line` (from 1), without its CR LF.
inline std::string lineOf(const std::string& bytes, int line)
{
    std::size_t at = 0;
    for (int k = 1; k < line; ++k)
        at = bytes.find("\r\n", at) + 2;
    return bytes.substr(at, bytes.find("\r\n", at) - at);
}

inline Damage removeLine(int line)
{
    return [=](std::string& bytes) {
        std::size_t at = 0;
        for (int k = 1; k < line; ++k)
            at = bytes.find("\r\n", at) + 2;
        bytes.erase(at, bytes.find("\r\n", at) + 2 - at);
    };
}

inline Damage swapLines(int first)
{
    return [=](std::string& bytes) {
        const std::string a = lineOf(bytes, first), b = lineOf(bytes, first + 1);
        replace(a + "\r\n" + b + "\r\n", b + "\r\n" + a + "\r\n")(bytes);
    };
}

// The program's files, written once for all the cases:
// TCU117 (archive 1, building firm): 1 A, 2 B, 3 C, then D and G for Ferrari (4, 5, number
// 00001, fiscal code FRRLCU78E14L219A born 14/05/1978), Romano (6, 7), Ricci (8, 9), Rossi
// (10, 11), 12 Z. Record B names the representative ROSSI ALBERTO (RSSLRT58P08L219B, codice
// carica 01 at 326-327) and the intermediary FRRGRG62H22L219H (commitment 2 of 27/02/2017).
// Record 4's elements start at position 90, 24 places each: DA001005 at 210, DA002001 at
// 426, DA002002 "FERRARI" at 450, DA002004 at 498, DA002005 at 522; record 5: DB001001 at
// 90, DB001006 at 114, DB001010 at 138, DB001021 at 162, DB001022 at 186, DB001391 at 354,
// DC001073 at 570; record 7: DB001341 at 282, DB601004 at 474.
// TCU717 (archive 7, bakery): record 4 is the baker's record G with DB601005 at 546,
// DB602001 at 570 and DB602A07 at 642. ANN1: the annulment of archive 1's record 2
// (Romano): A, B, C, D, Z.
// fc0010316.xml (March 2016, company 001, weeks 10 to 14): Ferrari's individual declaration
// on lines 16-64 (weeks on lines 35-54, GiorniRetribuiti on line 55), NumDenIndiv on line
// 188. fc0030416.xml (April 2016, the restaurant, weeks 14 to 18): the cook's days from
// line 210 (GG="1"), GG="30" on line 297, NumGG on line 180. fp0040416.xml: April's
// chemist's shop. fc0060416.xml: a cancelled declaration. uea0050416.xml: April's
// collaborators, CANNAVÒ on line 30.
inline const std::map<std::string, std::string>& programFiles()
{
    static const std::map<std::string, std::string> files = [] {
        std::map<std::string, std::string> result;
        const auto keep = [&](const std::string& name, const std::string& path) {
            if (path.empty())
                throw std::runtime_error("the program did not write " + name);
            result[name] = records::testing::TempRoot::readFile(path);
        };
        Office office;
        cu::SupplyOptions ordinary;
        ordinary.kind = 'N';
        keep("TCU117", office.cuRun(1, ordinary));
        keep("TCU717", office.cuRun(7, ordinary));
        cu::SupplyOptions annulment;
        annulment.kind = 'A';
        annulment.employeeRecord = "2";
        annulment.replacedSubmission = "17021012345678901";
        annulment.replacedCertificate = "000004";
        annulment.outputName = "ANN1";
        keep("ANN1", office.cuRun(1, annulment));
        keep("fc0010316.xml", office.uniemensSeries(3, {"001"}));
        keep("fc0030416.xml", office.uniemensSeries(4, {"003"}));
        keep("fp0040416.xml", office.uniemensSeries(4, {"004"}));
        keep("fc0060416.xml", office.uniemensSeries(4, {"006"}));
        keep("uea0050316.xml", office.uniemensSeries(3, {"005"}));
        keep("uea0050416.xml", office.uniemensSeries(4, {"005"}));
        return result;
    }();
    return files;
}

// What the check says of program file `file` after `damage`, on the day `today`.
inline Checked checkDamaged(const std::string& file, const Damage& damage, Day today = kToday)
{
    std::string bytes = programFiles().at(file);
    damage(bytes);
    records::testing::TempRoot root;
    return checkPath(root.write(file, bytes), today);
}

} // namespace check::testing
