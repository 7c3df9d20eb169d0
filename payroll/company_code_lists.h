#pragma once

#include <string>
#include <vector>

#include "records/file_result.h"

namespace records {
class PathMapper;
}

// The code lists that the company register offers for its coded fields. Each entry is a
// text that starts with the code: choosing an entry puts its first characters, as many as
// the field holds, into the field.
namespace payroll {

// Legal form (field 11): codes 0 to 28, a heading for the non-resident subjects, codes 30
// to 43 (the table legalForms()); each entry is the code filled with blanks to three
// characters and the description.
const std::vector<std::string>& legalFormEntries();
// Sector of activity (field 9): the 21 sections A to U of the classification of economic
// activities, the letter, a blank and the section's name.
const std::vector<std::string>& sectorEntries();

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
