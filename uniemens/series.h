#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "payroll/record_fields.h"
#include "records/workplace.h"
#include "uniemens/company_files.h"
#include "uniemens/series_file.h"
#include "uniemens/series_stop.h"
#include "uniemens/xml_lines.h"

namespace uniemens {

// What a step of a series came to.
enum class SeriesOutcome {
    Added,       // the company's block is in the open file, "Memorizzazione regolarmente effettuata" shown
    Refused,     // the company was refused and the operator told why: nothing was written for it,
                 // the series stays as it was
    UnknownKind, // the company's declaration kind is neither employees nor collaborators: nothing happened
    Stopped,     // a stop message or a failed read or write ended the series: it left no file
    Stored,      // the file is complete under its name and the operator was told
};

struct SeriesResult {
    SeriesOutcome outcome = SeriesOutcome::Stopped;
    // Refused: the message shown. Stopped: the stop message shown last ("Accesso"), empty
    // when only the failure of a file that could not be read or written was shown.
    std::string message;
    // Stored: the XML file on this computer.
    std::string hostPath;
};

// What a series tells while it works, besides its messages.
struct SeriesEvents {
    // After each record of a company's employee or collaborator data file looked at: how
    // many of how many (header field 20).
    std::function<void(double done, double total)> advanced;
    // The file has its name on the disk (host path), before the operator is told: a window
    // shows where it lies on this computer while the message names the installation's folder.
    std::function<void(const std::string& hostPath)> stored;
};

// A series of UniEmens declarations: the monthly XML file ("DenunceMensili") of one or
// more companies of one month, written from their company data files by the sender,
// company, employee and collaborator writers. The first company added names the file
// (prefix, company and month, year digits, ".xml" in the checking program's folder) and
// gives it its sender block; each company adds its "Azienda" block; store() ends the
// document and gives the file its name. A file holds one company once and companies of the
// first one's kind only.
//
// The file is written under a temporary name until it is stored: a series abandoned,
// stopped or destroyed before leaves no file, and an older file of the final name stays as
// it was until then. Messages go to the workplace's operator in the order of the work; the
// series asks no question: "Inserisci altra Ditta ?" and the check are its caller's.
//
// The series owns its XML file from the first company to the end, so that a window that
// closes its own files never closes the file of an open series; the company's data files
// are open only while it is written.
class Series {
public:
    explicit Series(records::Workplace workplace);
    ~Series();
    Series(const Series&) = delete;
    Series& operator=(const Series&) = delete;

    // Starts a series for month `month` (1 to 12) of the working year; a series still open is
    // abandoned. The month decides, with the year, whether an employee's TFR destination is
    // declared this month.
    void open(int month);
    // From open() until the series is stored, abandoned or stopped.
    bool isOpen() const { return m_open; }

    // Adds the declaration of the company of `dataFile` (its company data file, installation
    // notation) to the open series: reads its header, refuses a company already in the file ("La ditta " + code
    // + " e' gia' nel file ", information icon), one whose header names another company (stop
    // icon, "Accesso") and one of another kind than the first ("... ha una denuncia di altro
    // tipo: va inviata in un file a parte ", information icon); then writes the company's
    // block, with its employees or paid collaborators, into the file, and shows
    // "Memorizzazione regolarmente effettuata" once the block is on the disk. A stop (a
    // missing data record, a value that cannot be written, a failed write) abandons the series.
    SeriesResult add(const std::string& dataFile);
    // Ends the document, pushes the file to the disk and gives it its name, then shows
    // "Il file :" + file name + " e' stato memorizzato". A failure (shown as the record
    // files show theirs) leaves no file: Stopped. Stopped also when no company was added.
    SeriesResult store();
    // Ends the series without storing its file; nothing when none is open.
    void abandon();

    // The kind of the series' companies, that of the first one added.
    DeclarationKind kind() const { return m_kind; }
    // Codes of the companies in the file, in order.
    const std::vector<std::string>& companies() const { return m_companies; }
    // The file's final name in installation notation: set when the first company of a
    // series is written, kept after the series ends until another one names its file.
    const std::string& fileName() const { return m_fileName; }

    SeriesEvents events;

private:
    SeriesResult addCompany(const std::string& dataFile);
    void writeEmployeeCompany(const std::string& dataFile, const std::string& headerRecord);
    void writeCollaboratorCompany(const std::string& dataFile, const std::string& headerRecord);
    void startFile(const std::string& fileName, const payroll::RecordFields& header);
    template <class Each>
    void readDataRecords(const std::string& file, int recordLength, double count, std::string_view missingText,
                         Each each);
    SeriesResult stop(const SeriesStopped& stopped);

    records::Workplace m_workplace;
    SeriesFile m_file;
    XmlLines m_lines; // the lines of m_file
    bool m_open = false;
    std::string m_month;       // two digits
    std::string m_workingYear;
    DeclarationKind m_kind = DeclarationKind::Employees;
    std::vector<std::string> m_companies;
    std::string m_fileName;
};

} // namespace uniemens
