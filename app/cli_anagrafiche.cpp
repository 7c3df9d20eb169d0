#include <filesystem>
#include <unordered_set>

#include "app/cli.h"
#include "app/console_prompter.h"
#include "payroll/company_register.h"
#include "records/channels.h"
#include "records/cp1252.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/numeric.h"
#include "records/shared_values.h"
#include "records/text.h"
#include "registers/company_files.h"
#include "registers/identity_checks.h"

namespace app::cli {

const char* const kAnagraficheHelp = R"(Uso: telematico-cli anagrafiche --root CARTELLA

Controlla le anagrafiche prima di una trasmissione, con gli stessi controlli della finestra
delle ditte: codice fiscale (16 caratteri con il carattere di controllo), partita IVA (11
cifre con la cifra di controllo) e data di nascita (ggmmaaaa).
  - ditte: il record 1 dei file dittgN.AAA della cartella dei dati, N da 1 a 999;
  - dipendenti: il codice fiscale di ogni record dei file paghe\unbDDDMM.AAA (ditta DDD,
    mese MM), AAA le ultime tre cifre dell'anno di lavoro.
Non scrive nulla (il file dell'anno viene creato con 2015 se manca).

Stampa una riga "PERCORSO record K campo F: MESSAGGIO" per ogni controllo fallito e in fondo
"Controllate N anagrafiche, M errori".

  --root CARTELLA   cartella dell'installazione (una sottocartella per unita': c, d...)

Uscita: 0 nessun errore; 1 almeno un controllo fallito, o un file che non si e' potuto
leggere; 2 opzioni errate.
)";

namespace {

constexpr int kChannel = 2;
constexpr int kEmployeeRecordLength = 2000;
constexpr int kLastEmployeeCompany = 499;
constexpr const char* kEmployeeFolder = "\\nolv\\paghe";

std::string lowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return text;
}

// Counts the records looked at and prints one line for each check that fails.
class Checker {
public:
    explicit Checker(std::ostream& out)
        : m_out(out)
    {
    }

    void record() { ++m_records; }
    void check(const std::string& path, int record, int field, const registers::CheckResult& result)
    {
        if (!result.failed())
            return;
        ++m_failures;
        m_out << records::cp1252ToUtf8(path) << " record " << record << " campo " << field << ": "
              << records::cp1252ToUtf8(result.message) << '\n';
    }
    // The last line; the exit status is 1 when a check failed or when a file could not be
    // read (its message went to the error stream), since then not everything was checked.
    int finish(bool unreadFiles)
    {
        m_out << "Controllate " << m_records << " anagrafiche, " << m_failures << " errori\n";
        return m_failures == 0 && !unreadFiles ? 0 : 1;
    }

private:
    std::ostream& m_out;
    int m_records = 0;
    int m_failures = 0;
};

void checkCompanies(records::Channels& channels, const records::Installation& installation, Checker& checker)
{
    for (const int company : registers::scanCompanies(channels.paths(), installation)) {
        const std::string path = registers::companyFileName(installation, company);
        channels.select(kChannel, path, payroll::kCompanyFileRecordLength);
        channels.openBinary();
        channels.setRecordNumber(1);
        channels.readRecord();
        const std::string record = channels.channel(kChannel).recordBuffer;
        channels.close(kChannel);
        if (record.empty() || record[0] != '$')
            continue;
        checker.record();

        const payroll::CompanyFields fields = payroll::unpackCompanyRecord(record);
        if (fields[1] == "0" || fields[1] == "2")
            checker.check(path, 1, 3, registers::checkFiscalCode(fields[3]));
        else if (fields[1] == "1")
            checker.check(path, 1, 3, registers::checkVatNumber(records::mid(fields[3], 1, 11)));
        if (records::numericValue(fields[5]) > 0)
            checker.check(path, 1, 5, registers::checkDate(fields[5]));
        if (records::numericValue(fields[8]) > 0)
            checker.check(path, 1, 8, registers::checkVatNumber(fields[8]));
    }
}

void checkEmployees(records::Channels& channels, const records::Installation& installation, Checker& checker)
{
    const std::string folder = installation.drivePrefix + kEmployeeFolder;
    const std::string year(records::mid(installation.workingYear, 2, 3));
    // One listing of the folder tells which of the 499 x 12 possible files exist.
    std::unordered_set<std::string> present;
    for (const std::string& name : channels.paths().listDirectory(folder))
        present.insert(lowerAscii(name));

    for (int company = 1; company <= kLastEmployeeCompany; ++company) {
        for (int month = 1; month <= 12; ++month) {
            const std::string name = "unb" + records::padLeft(records::digitsText(company), 3, '0')
                + records::padLeft(records::digitsText(month), 2, '0') + "." + year;
            if (!present.contains(lowerAscii(name)))
                continue;
            const std::string path = folder + "\\" + name;
            std::error_code error;
            const auto size = std::filesystem::file_size(channels.paths().hostPath(path), error);
            if (error)
                continue;
            // A last record cut short is read too, so that its read message tells of it.
            const auto count = static_cast<int>((size + kEmployeeRecordLength - 1) / kEmployeeRecordLength);
            channels.select(kChannel, path, kEmployeeRecordLength);
            channels.openBinary();
            for (int k = 1; k <= count; ++k) {
                channels.setRecordNumber(k);
                channels.readRecord();
                const std::string& record = channels.channel(kChannel).recordBuffer;
                if (record.empty() || record[0] != '$')
                    continue;
                checker.record();
                checker.check(path, k, 1, registers::checkFiscalCode(records::mid(record, 2, 16)));
            }
            channels.close(kChannel);
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

    ConsolePrompter console(err);
    records::SharedValues shared(records::PathMapper::resolveRoot(*root));
    records::Channels channels(shared.paths, console);
    records::Installation& installation = shared.installation;
    // The load steps of createl (drive prefix, data directory) and of inditta (working
    // year), on channels of the command's own.
    records::readDrive(channels, installation);
    records::readWorkingYear(channels, installation);
    channels.closeAll();

    Checker checker(out);
    checkCompanies(channels, installation, checker);
    checkEmployees(channels, installation, checker);
    return checker.finish(console.messageCount() > 0);
}

} // namespace app::cli
