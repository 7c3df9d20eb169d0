#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/file_result.h"

namespace records {
class PathMapper;
class Prompter;
} // namespace records

namespace uniemens {

// The company data files that the payroll program prepares for the UniEmens declaration of
// a month: drive prefix + "\nolv\paghe\una" + company (001 to 499) + month (2 digits) + "."
// + year digits 2-4, record 1 of which is the company header record.

inline constexpr int kMaxCompany = 499;

// The kind of declaration that a company header states (the numeric value of its kind
// field): the company's employees or its collaborators. Any other value is no kind a
// declaration can have.
enum class DeclarationKind { Employees, Collaborators, Other };

// What the header record of a company data file says of its company.
struct CompanyHeading {
    std::string code; // the company code, without blanks
    DeclarationKind kind = DeclarationKind::Employees;
};
CompanyHeading companyHeading(std::string_view headerRecord);

// The company that a data file is named after: the three characters after "una" in its
// name ("001" for "C:\nolv\paghe\una00103.016"). The header inside may say otherwise: the
// name decides which company the file is.
std::string namedCode(std::string_view dataFile);

// "Il file " + data file + " contiene la ditta " + code + " " when the header names another
// company than the file's name, so that one company is never declared under another's
// name; empty when the two agree.
std::string otherCompanyRefusal(const std::string& dataFile, const CompanyHeading& heading);

// The header record of a company data file (record 1, 1000 characters), read from the file,
// which is closed again. A missing file is not created.
struct HeaderRead {
    bool read = false;
    std::string record;
    // Why the record was not read: "Archivio inesistente " + the file's name for a missing
    // file (a stop message); otherwise empty, and `failure` tells what the file did.
    std::string stopMessage;
    // The failed open or read of a file that exists, to be shown as the record files show
    // their failures (no icon, default title).
    records::FileResult failure;
};
HeaderRead readCompanyHeader(const records::PathMapper& paths, const std::string& dataFile);

// The heading of a company data file, as "Conferma" reads it; empty when it could not be
// read, after the operator was told why (a stop message has the title "Accesso").
std::optional<CompanyHeading> readCompanyHeading(const records::PathMapper& paths, records::Prompter& prompter,
                                                 const std::string& dataFile);

// A company whose data file the payroll program prepared for a month.
struct ListedCompany {
    std::string dataFile; // installation notation, "C:\nolv\paghe\una00103.016"
    std::string code;     // the code in the file's name
    // What the list shows: the code as the header stores it, one blank, the first 34
    // characters of the company name. A header that cannot be read shows the name's code.
    std::string item;
    std::string name; // the first 34 characters of the company name as the header stores them
    // What its header says; empty when the header could not be read.
    std::optional<CompanyHeading> heading;
    // Why it could not: the failed open, then the failed read of record 1, in that order.
    std::vector<records::FileResult> readFailures;
};

// The two digits of a month in the data files' names: 3 gives "03".
std::string monthDigits(int month);

// The companies whose company data file exists for month `month` (1 to 12) of the working
// year, in the order of their codes: a file of each name from una001 to una499 in the
// "paghe" folder (its name in any case), never a folder or a link that leads nowhere. A
// header that cannot be read is listed all the same, with the failures met (readFailures),
// which the caller shows once the list is made (showScanFailures()).
std::vector<ListedCompany> scanMonth(const records::PathMapper& paths, std::string_view drivePrefix,
                                     std::string_view workingYear, int month);
// Shows the failures met while the headers of `listed` were read, in the order of the list.
void showScanFailures(records::Prompter& prompter, const std::vector<ListedCompany>& listed);

} // namespace uniemens
