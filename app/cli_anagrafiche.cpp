#include <filesystem>
#include <system_error>
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

namespace fs = std::filesystem;

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

// Counts the records looked at and prints one line for each check that fails and for each
// file, or record, that could not be read.
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
    // A register file that exists and could not be read: nothing in it was checked.
    void unread(const std::string& path, const records::Failure& failure)
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

// True when something of that name is in its folder, whatever it is: a file, a folder, a
// FIFO, a link that leads nowhere.
bool entryExists(const records::PathMapper& paths, const std::string& path)
{
    std::error_code error;
    const fs::path host = paths.hostPath(path);
    return !host.empty() && fs::exists(fs::symlink_status(host, error));
}

// Opens `path` for reading on the command's channel. The register files are only read: no
// file is created, and whatever is not a plain file is named with the channel's message.
bool openRegisterFile(records::Channels& channels, const std::string& path, int recordLength, Checker& checker)
{
    channels.select(kChannel, path, recordLength);
    channels.openBinaryForReading();
    if (channels.lastError() == 0)
        return true;
    checker.unread(path, channels.takeHeldFailure());
    return false;
}

void checkCompanies(records::Channels& channels, const records::Installation& installation, Checker& checker)
{
    const records::PathMapper& paths = channels.paths();
    const std::vector<std::string> folders = paths.listDirectory(records::trim(installation.dataDirectory));
    const std::unordered_set<std::string> present(folders.begin(), folders.end());
    for (int company = 1; company <= registers::kMaxCompany; ++company) {
        if (!present.contains(records::digitsText(company)))
            continue;
        const std::string path = registers::companyFileName(installation, company);
        if (!entryExists(paths, path) || !openRegisterFile(channels, path, payroll::kCompanyFileRecordLength, checker))
            continue;
        channels.setRecordNumber(1);
        channels.readRecord();
        const bool read = channels.lastError() == 0;
        const std::string record = channels.channel(kChannel).recordBuffer;
        channels.close(kChannel);
        if (!read) {
            checker.unread(path, channels.takeHeldFailure());
            continue;
        }
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
            if (!openRegisterFile(channels, path, kEmployeeRecordLength, checker))
                continue;
            std::error_code error;
            const auto size = fs::file_size(channels.paths().hostPath(path), error);
            // A last record cut short is read too, so that its read message tells of it.
            const auto count = error ? 0 : static_cast<int>((size + kEmployeeRecordLength - 1) / kEmployeeRecordLength);
            for (int k = 1; k <= count; ++k) {
                channels.setCurrent(kChannel);
                channels.setRecordNumber(k);
                channels.readRecord();
                if (channels.lastError() != 0) {
                    checker.unread(path, channels.takeHeldFailure());
                    continue;
                }
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
    const auto installationFolder = installationRoot(err, "anagrafiche", *root);
    if (!installationFolder)
        return 2;

    ConsolePrompter console(err);
    records::SharedValues shared(*installationFolder);
    records::Channels channels(shared.paths, console);
    records::Installation& installation = shared.installation;
    // The load steps of createl (drive prefix, data directory) and of inditta (working
    // year), on channels of the command's own.
    records::showFailure(console, records::readDrive(shared.paths, installation));
    records::showFailures(console, records::readWorkingYear(shared.paths, installation));
    channels.closeAll();
    // The year names the register files: with any other text the command would look at
    // files of no year, find none, and say that all is well.
    if (installation.workingYear.size() != 4 || !records::allDigits(installation.workingYear)) {
        err << "anagrafiche: l'anno di lavoro del file " << records::cp1252ToUtf8(installation.drivePrefix)
            << records::kYearFile << " non e' di quattro cifre: nessuna anagrafica controllata\n";
        return 1;
    }

    Checker checker(out);
    // The register files are read with their failures held: each one is named on the output
    // beside the checks, in file order.
    records::FailureHold hold(channels);
    checkCompanies(channels, installation, checker);
    checkEmployees(channels, installation, checker);
    return checker.finish(console.messageCount() > 0);
}

} // namespace app::cli
