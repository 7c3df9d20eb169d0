#include "payroll/company_code_lists.h"

#include <filesystem>
#include <functional>
#include <utility>

#include "payroll/code_tables.h"
#include "records/host_paths.h"
#include "records/record_file.h"
#include "records/text.h"

namespace payroll {

namespace {

// Calls `take` with the number and bytes of every record marked "$", in order, and keeps the
// failures met in `failures`.
void forEachMarkedRecord(const records::PathMapper& paths, const std::string& fileName, int recordLength,
                         std::vector<records::FileResult>& failures,
                         const std::function<bool(int, const std::string&)>& take)
{
    if (!paths.fileExists(fileName))
        return;
    std::error_code error;
    const auto size = std::filesystem::file_size(paths.hostPath(fileName), error);
    if (error)
        return;
    const auto count = static_cast<int>(size / static_cast<std::uintmax_t>(recordLength));

    const auto keep = [&failures](records::FileResult result) {
        if (result.failed())
            failures.push_back(std::move(result));
    };
    records::RecordFile file(paths, fileName, recordLength);
    keep(file.open());
    std::string record;
    for (int k = 1; k <= count; ++k) {
        keep(file.read(k, record));
        if (!record.empty() && record[0] == '$' && !take(k, record))
            break;
    }
}

std::string entryText(const std::string& record, std::size_t length)
{
    return std::string(records::trimRight(records::mid(record, 2, length)));
}

} // namespace

const std::vector<std::string>& legalFormEntries()
{
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> list;
        for (const CodeEntry& entry : legalForms().entries())
            list.push_back(entry.heading ? entry.description : records::padRight(entry.code, 3) + entry.description);
        return list;
    }();
    return entries;
}

const std::vector<std::string>& sectorEntries()
{
    static const std::vector<std::string> entries = {
        "A AGRICOLTURA, SILVICOLTURA E PESCA",
        "B ESTRAZIONE DI MINERALI DA CAVE E MINIERE",
        "C ATTIVITA' MANIFATTURIERE",
        "D FORNITURA DI ENERGIA ELETTRICA, GAS, VAPORE E ARIA CONDIZIONATA",
        "E FORNITURA DI ACQUA; RETI FOGNARIE, ATTIVITA' DI GESTIONE DEI RIFIUTI E RISANAMENTO",
        "F COSTRUZIONI",
        "G COMMERCIO ALL'INGROSSO E AL DETTAGLIO; RIPARAZIONE DI AUTOVEICOLI E MOTOCICLI",
        "H TRASPORTO E MAGAZZINAGGIO",
        "I ATTIVITA' DEI SERVIZI DI ALLOGGIO E DI RISTORAZIONE",
        "J SERVIZI DI INFORMAZIONE E COMUNICAZIONE",
        "K ATTIVITA' FINANZIARIE E ASSICURATIVE",
        "L ATTIVITA' IMMOBILIARI",
        "M ATTIVITA' PROFESSIONALI, SCIENTIFICHE E TECNICHE",
        "N NOLEGGIO, AGENZIE DI VIAGGIO, SERVIZI DI SUPPORTO ALLE IMPRESE",
        "O AMMINISTRAZIONE PUBBLICA E DIFESA; ASSICURAZIONE SOCIALE OBBLIGATORIA",
        "P ISTRUZIONE",
        "Q SANITA' E ASSISTENZA SOCIALE",
        "R ATTIVITA' ARTISTICHE, SPORTIVE, DI INTRATTENIMENTO E DIVERTIMENTO",
        "S ALTRE ATTIVITA' DI SERVIZI",
        "T ATTIVITA' DI FAMIGLIE E CONVIVENZE COME DATORI DI LAVORO PER PERSONALE DOMESTICO",
        "U ORGANIZZAZIONI ED ORGANISMI EXTRATERRITORIALI",
    };
    return entries;
}

CodeListFile activityEntries(const records::PathMapper& paths, const std::string& drivePrefix)
{
    CodeListFile list;
    forEachMarkedRecord(paths, drivePrefix + kActivityFile, kCodeTableRecordLength, list.failures,
                        [&](int, const std::string& record) {
                            list.entries.push_back(entryText(record, 80));
                            return true;
                        });
    return list;
}

CodeListFile intermediaryEntries(const records::PathMapper& paths, const std::string& drivePrefix)
{
    CodeListFile list;
    forEachMarkedRecord(paths, drivePrefix + kIntermediaryFile, kCodeTableRecordLength, list.failures,
                        [&](int, const std::string& record) {
                            list.entries.push_back(entryText(record, 80));
                            return true;
                        });
    return list;
}

CodeListFile accountPersonalizationEntries(const records::PathMapper& paths, const std::string& dataDirectory)
{
    CodeListFile list;
    forEachMarkedRecord(paths, dataDirectory + kAccountPersonalizationFile, kAccountPersonalizationRecordLength,
                        list.failures, [&](int number, const std::string& record) {
                            if (number > 99)
                                return false;
                            list.entries.push_back(records::padLeft(records::digitsText(number), 2, '0') + " "
                                                   + entryText(record, 60));
                            return true;
                        });
    return list;
}

} // namespace payroll
