#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/cu_edition.h"

namespace records {
class Prompter;
struct Installation;
struct Workplace;
} // namespace records

namespace cu::telematic {

// The CU archives of an installation: archive n is the CU header file "FCU" n ".017" (the
// withholding agent's data, and the employee count) and the CU archive "DCU" n ".017" (one
// record per employee), both in the data folder.

inline constexpr const char* kArchiveExtension = records::kCuFileExtension;
inline constexpr int kMaxArchiveNumber = 999;

// The header file and the archive of archive `number`, the number as the clerk named it:
// "007" names FCU007.017, not FCU7.017.
std::string headerFileName(const records::Installation& installation, std::string_view number);
std::string employeeFileName(const records::Installation& installation, std::string_view number);
// The name proposed for the telematic file of archive `number`: "TCU" n "17".
std::string telematicFileName(std::string_view number);

// What the clerk is shown of a CU header record (record 1 of the header file) when its
// archive is listed or opened.
struct HeaderSummary {
    // "3 ROSSI SRL-UFFICIO PAGHE": the archive's number and the two parts of the withholding
    // agent's name (positions 21-44 and 45-68) without their blanks.
    std::string listItem;
    // The kind of supply stored with the archive (position 2): "N" for "0", "A" for "1", "S"
    // for "2"; empty for any other character, which leaves the kind chosen as it was.
    std::string storedSupplyLetter;
    std::string intermediaryFiscalCode; // positions 207-222
    std::string commitmentType;         // position 223
    std::string commitmentDate;         // positions 224-231, ddmmyyyy
    std::string intermediaryPhone;      // positions 330-341
    std::string intermediaryEmail;      // positions 343-387
    // Whether the archive states its commitment (a type and a date that are not 0): a run
    // then takes the archive's, and what the clerk would type instead is never used.
    bool commitmentTypeStated = false;
    bool commitmentDateStated = false;
};
HeaderSummary summarizeHeader(std::string_view number, std::string_view headerRecord);

struct ListedArchive {
    int number = 0;
    std::string headerRecord; // empty when it could not be read
};

// The archives of the data folder in number order: every n from 1 to 999 whose header file
// exists (its name in any case), with its header record. A record that cannot be read has
// shown the read message and is listed empty.
std::vector<ListedArchive> listArchives(const records::Workplace& workplace);

// The opening of an archive whose number the clerk typed (" FASE 2").
struct ArchiveOpening {
    enum class Outcome { Opened, NotChosen, Missing };
    Outcome outcome = Outcome::NotChosen;
    // The number as typed, without leading and trailing blanks.
    std::string number;
    // When opened: the header record as read (empty when the read failed, after its message).
    std::string headerRecord;
    // Why the archive was not opened, for showStop(): "Certificazione non ancora selezionata "
    // when the text is no number other than 0, "Archivio inesistente " when there is no
    // header file of that number.
    std::string stopMessage;

    bool opened() const { return outcome == Outcome::Opened; }
};
// Opens archive `typedNumber`: checks it and reads its header record. The two stops are
// returned, not shown, so that a window can show what it shows with them first.
ArchiveOpening openArchive(const records::Workplace& workplace, std::string_view typedNumber);

// Shows a stop message of the CU work: a box with the stop icon and the title "Accesso".
void showStop(records::Prompter& prompter, std::string_view message);

} // namespace cu::telematic
