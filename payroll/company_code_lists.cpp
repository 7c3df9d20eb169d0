#include "payroll/company_code_lists.h"

#include <filesystem>
#include <functional>

#include "payroll/code_tables.h"
#include "records/channels.h"
#include "records/host_paths.h"
#include "records/text.h"

namespace payroll {

namespace {

// Calls `take` with the number and bytes of every record marked "$", in order.
void forEachMarkedRecord(records::Channels& channels, int channel, const std::string& fileName, int recordLength,
                         const std::function<bool(int, const std::string&)>& take)
{
    if (!channels.paths().fileExists(fileName))
        return;
    std::error_code error;
    const auto size = std::filesystem::file_size(channels.paths().hostPath(fileName), error);
    if (error)
        return;
    const auto count = static_cast<int>(size / static_cast<std::uintmax_t>(recordLength));

    channels.select(channel, fileName, recordLength);
    channels.openBinary();
    for (int k = 1; k <= count; ++k) {
        channels.setCurrent(channel);
        channels.setRecordNumber(k);
        channels.readRecord();
        const std::string& record = channels.channel(channel).recordBuffer;
        if (!record.empty() && record[0] == '$' && !take(k, record))
            break;
    }
    channels.close(channel);
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

std::vector<std::string> activityEntries(records::Channels& channels, int channel, const std::string& drivePrefix)
{
    std::vector<std::string> entries;
    forEachMarkedRecord(channels, channel, drivePrefix + kActivityFile, kCodeTableRecordLength,
                        [&](int, const std::string& record) {
                            entries.push_back(entryText(record, 80));
                            return true;
                        });
    return entries;
}

std::vector<std::string> intermediaryEntries(records::Channels& channels, int channel, const std::string& drivePrefix)
{
    std::vector<std::string> entries;
    forEachMarkedRecord(channels, channel, drivePrefix + kIntermediaryFile, kCodeTableRecordLength,
                        [&](int, const std::string& record) {
                            entries.push_back(entryText(record, 80));
                            return true;
                        });
    return entries;
}

std::vector<std::string> accountPersonalizationEntries(records::Channels& channels, int channel,
                                                       const std::string& dataDirectory)
{
    std::vector<std::string> entries;
    forEachMarkedRecord(channels, channel, dataDirectory + kAccountPersonalizationFile,
                        kAccountPersonalizationRecordLength, [&](int number, const std::string& record) {
                            if (number > 99)
                                return false;
                            entries.push_back(records::padLeft(records::digitsText(number), 2, '0') + " "
                                              + entryText(record, 60));
                            return true;
                        });
    return entries;
}

} // namespace payroll
