#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/code_tables.h"
#include "records/file_result.h"

namespace records {
class PathMapper;
}

// The code lists that the company register offers for its coded fields. Each entry is a
// text that starts with the code: choosing an entry puts its first characters, as many as
// the field holds, into the field.
namespace payroll {

// Legal form (field 11): codes 0 to 28, a heading for the non-resident subjects, codes 30
// to 43, as the installation's tables have them; each entry is the code filled with blanks
// to three characters and the description.
std::vector<std::string> legalFormEntries(const CodeTables& tables);
// Sector of activity (field 9): the 21 sections A to U of the classification of economic
// activities, as the installation's tables have them: the letter, a blank and the name.
std::vector<std::string> sectorEntries(const CodeTables& tables);

// The words of `code` (blanks around it ignored) in a list whose entries start with their
// code in `codeLength` characters, as choosing an entry puts them into the field: the rest of
// its entry, blanks around it removed (empty for an entry without words). Nothing for an
// empty code, and for a code that no entry carries.
std::optional<std::string> describeListedCode(const std::vector<std::string>& entries, std::string_view code,
                                              std::size_t codeLength);

// A list kept in a file of the installation, and the failures met reading it (the opening's,
// then that of each record that could not be read), in the order the operator is to be
// shown them (records::showFailures()), before the list.
struct CodeListFile {
    std::vector<std::string> entries;
    std::vector<records::FileResult> failures;
};

// The lists kept in files of the installation, one entry for each record marked "$" in
// position 1, in record order. A missing file gives an empty list and is not created. The
// file is read whole and closed again; `paths` finds it.
//
// Activity codes (field 10): drive prefix + "\wnolv\coge\ateco.dat", records of 200
// characters, the entry is positions 2-81 (the six-character code first), trailing blanks
// removed.
CodeListFile activityEntries(const records::PathMapper& paths, const std::string& drivePrefix);
// Intermediaries (field 33): drive prefix + "\wnolv\tabcom\soggetto.dat", records of 200
// characters, the entry is positions 2-81 (the two-character code first).
CodeListFile intermediaryEntries(const records::PathMapper& paths, const std::string& drivePrefix);
// Account personalizations (field 29): "\pecog.dat" in the data directory, records of 600
// characters. The field names the record, so the entry is the record number in two digits,
// a blank and positions 2-61; records past 99 cannot be named and are not listed.
CodeListFile accountPersonalizationEntries(const records::PathMapper& paths, const std::string& dataDirectory);

inline constexpr const char* kActivityFile = "\\wnolv\\coge\\ateco.dat";
inline constexpr const char* kIntermediaryFile = "\\wnolv\\tabcom\\soggetto.dat";
inline constexpr const char* kAccountPersonalizationFile = "\\pecog.dat";
inline constexpr int kCodeTableRecordLength = 200;
inline constexpr int kAccountPersonalizationRecordLength = 600;

} // namespace payroll
