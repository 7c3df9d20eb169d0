#include <cstdint>
#include <unordered_set>

#include "app/cli.h"
#include "app/console_prompter.h"
#include "app/program_values.h"
#include "payroll/company_register.h"
#include "payroll/employee_record.h"
#include "payroll/identity_codes.h"
#include "records/cp1252.h"
#include "records/file_result.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/text.h"
#include "registers/company_store.h"
#include "registers/employee_store.h"

namespace app::cli {

const char* const kAnagraficheHelp = R"(Uso: telematico-cli anagrafiche --root CARTELLA

Controlla le anagrafiche prima di una trasmissione, con gli stessi controlli della finestra
delle ditte: codice fiscale (16 caratteri con il carattere di controllo), partita IVA (11
cifre con la cifra di controllo) e data di nascita (ggmmaaaa).
  - ditte: il record 1 dei file dittgN.AAA della cartella dei dati, N da 1 a 999;
  - dipendenti: il codice fiscale di ogni record dei file paghe\unbDDDMM.AAA (ditta DDD,
    mese MM), AAA le ultime tre cifre dell'anno di lavoro.
Non scrive nulla (il file dell'anno viene creato con 2015 se manca).

Stampa una riga "PERCORSO record K campo F: MESSAGGIO" per ogni controllo fallito, una riga
"PERCORSO: MESSAGGIO" per ogni file che non si e' potuto leggere (un collegamento che non
porta a nulla, una cartella, un file speciale, un record troncato), e in fondo
"Controllate N anagrafiche, M errori" (gli errori contano anche i file non letti).
Un anno di lavoro che non e' di quattro cifre ferma il controllo con un messaggio.

  --root CARTELLA   cartella dell'installazione (una sottocartella per unita': c, d...)

Uscita: 0 nessun errore; 1 almeno un controllo fallito, un file che non si e' potuto leggere
o un anno di lavoro errato; 2 opzioni errate, o CARTELLA senza installazione (manca
c\disco.ute).
)";

namespace {

constexpr int kLastEmployeeCompany = 499;
constexpr const char* kEmployeeFolder = "\\nolv\\paghe";

// Counts the records looked at and prints one line for each check that fails and for each
// file, or record, that could not be read.
class Checker {
public:
    explicit Checker(std::ostream& out)
        : m_out(out)
    {
    }

    void record() { ++m_records; }
    void check(const std::string& path, std::int64_t record, int field, const payroll::CheckResult& result)
    {
        if (!result.failed())
            return;
        ++m_failures;
        m_out << records::cp1252ToUtf8(path) << " record " << record << " campo " << field << ": "
              << records::cp1252ToUtf8(result.message) << '\n';
    }
    // A register file that exists and could not be read: nothing in it was checked.
    void unread(const std::string& path, const registers::StoreResult& failure)
    {
        ++m_failures;
        m_out << records::cp1252ToUtf8(path) << ": " << records::cp1252ToUtf8(failure.message) << '\n';
    }
    // The last line; the exit status is 1 when a check failed, when a file could not be read,
    // or when another message went to the error stream.
    int finish(bool otherMessages)
    {
        m_out << "Controllate " << m_records << " anagrafiche, " << m_failures << " errori\n";
        return m_failures == 0 && !otherMessages ? 0 : 1;
    }

private:
    std::ostream& m_out;
    int m_records = 0;
    int m_failures = 0;
};

// Record 1 of every company file of the working year that is there, saved at least once.
void checkCompanies(const registers::CompanyStore& store, Checker& checker)
{
    for (const int company : store.companiesNamed()) {
        const registers::CompanyRecord record = store.inspect(company);
        const std::string& path = record.place.fileName;
        if (record.read.failed()) {
            checker.unread(path, record.read);
            continue;
        }
        if (!record.readWhole() || !record.inUse)
            continue;
        checker.record();

        namespace field = payroll::company_field;
        const payroll::CompanyFields& fields = record.fields;
        const std::string& kind = fields[field::kKind];
        // Record 1 of the file; a line names the field by its number.
        if (kind == "0" || kind == "2")
            checker.check(path, 1, field::kFiscalCode, payroll::checkFiscalCode(fields[field::kFiscalCode]));
        else if (kind == "1")
            checker.check(path, 1, field::kFiscalCode,
                          payroll::checkVatNumber(records::mid(fields[field::kFiscalCode], 1, 11)));
        if (records::numericValue(fields[field::kBirthDate]) > 0)
            checker.check(path, 1, field::kBirthDate, payroll::checkDate(fields[field::kBirthDate]));
        if (records::numericValue(fields[field::kVatNumber]) > 0)
            checker.check(path, 1, field::kVatNumber, payroll::checkVatNumber(fields[field::kVatNumber]));
    }
}

// The fiscal code of every employee in use in the employee data files of companies 1 to 499,
// months 1 to 12, of the working year.
void checkEmployees(const records::PathMapper& paths, const records::Installation& installation, Checker& checker)
{
    const std::string folder = installation.drivePrefix + kEmployeeFolder;
    const std::string year(records::mid(installation.workingYear, 2, 3));
    // One listing of the folder tells which of the 499 x 12 possible files exist, whatever
    // the case of their names.
    std::unordered_set<std::string> present;
    for (const std::string& name : paths.listDirectory(folder))
        present.insert(records::toUpper(name));

    for (int company = 1; company <= kLastEmployeeCompany; ++company) {
        for (int month = 1; month <= 12; ++month) {
            const std::string name = "unb" + records::padLeft(records::digitsText(company), 3, '0')
                + records::padLeft(records::digitsText(month), 2, '0') + "." + year;
            if (!present.contains(records::toUpper(name)))
                continue;
            const std::string path = folder + "\\" + name;
            const registers::EmployeeList employees = registers::EmployeeStore(paths, path).inspect();
            if (employees.opened.failed()) {
                checker.unread(path, employees.opened);
                continue;
            }
            for (const registers::ListedEmployee& employee : employees.records) {
                if (employee.read.failed()) {
                    checker.unread(path, employee.read);
                    continue;
                }
                checker.record();
                checker.check(path, employee.record, payroll::employee::kFiscalCode,
                              payroll::checkFiscalCode(employee.fiscalCode));
            }
        }
    }
}

} // namespace

int anagraficheCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err)
{
    Arguments arguments;
    if (const std::string error = arguments.parse(argv, 2, {}, {"root"}); !error.empty()) {
        return usageError(err, "anagrafiche", error);
    }
    const auto root = arguments.value("root");
    if (!root || root->empty()) {
        return usageError(err, "anagrafiche", "serve --root CARTELLA");
    }
    const auto installationFolder = installationRoot(err, "anagrafiche", *root);
    if (!installationFolder)
        return 2;

    ConsolePrompter console(err);
    app::ProgramValues shared(*installationFolder);
    records::Installation& installation = shared.installation;
    // The load steps of createl (drive prefix, data directory) and of inditta (working
    // year); each file is closed once read.
    records::showFailure(console, records::readDrive(shared.paths, installation));
    records::showFailures(console, records::readWorkingYear(shared.paths, installation));
    // The year names the register files: with any other text the command would look at
    // files of no year, find none, and say that all is well.
    if (installation.workingYear.size() != 4 || !records::allDigits(installation.workingYear)) {
        err << "anagrafiche: l'anno di lavoro del file " << records::cp1252ToUtf8(installation.drivePrefix)
            << records::kYearFile << " non e' di quattro cifre: nessuna anagrafica controllata\n";
        return 1;
    }

    // The register stores hand back what they could not read: each file is named on the
    // output beside the checks, in file order.
    Checker checker(out);
    registers::CompanyStore companies(shared.paths, installation);
    checkCompanies(companies, checker);
    checkEmployees(shared.paths, installation, checker);
    return checker.finish(console.messageCount() > 0);
}

} // namespace app::cli
