#include "uniemens/series_file.h"

#include <filesystem>
#include <system_error>

#include "records/channels.h"
#include "records/file_errors.h"
#include "records/host_paths.h"
#include "records/prompter.h"
#include "records/text.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {
// Record length given when the file is created, as the payroll suite always did.
constexpr int kCreateRecordLength = 128;
// The checking program takes only names ending in ".xml".
constexpr const char* kTemporarySuffix = ".tmp";
} // namespace

SeriesFile::SeriesFile(records::Channels& channels, records::Prompter& prompter, int channel)
    : m_channels(channels)
    , m_prompter(prompter)
    , m_channel(channel)
{
}

SeriesFile::~SeriesFile()
{
    abandon();
}

std::string SeriesFile::temporaryName() const
{
    return m_finalName + kTemporarySuffix;
}

void SeriesFile::create(const std::string& finalName)
{
    abandon();
    m_finalName = finalName;
    m_channels.select(m_channel, temporaryName(), kCreateRecordLength);
    m_channels.createFile();
    if (m_channels.lastError() != 0) {
        abandon();
        throw SeriesStopped();
    }
    m_channels.setCurrent(m_channel);
    m_channels.openSequential();
    if (m_channels.lastError() != 0) {
        abandon();
        throw SeriesStopped();
    }
}

std::string SeriesFile::complete(double lineCount)
{
    if (!m_channels.flush(m_channel)) {
        m_prompter.message({}, "Errore di scrittura tipo " + records::signedNumberText(m_channels.lastError())
                                   + " nel file " + m_finalName + " al record " + records::signedNumberText(lineCount));
        abandon();
        throw SeriesStopped();
    }
    m_channels.close(m_channel);
    const std::filesystem::path target = m_channels.paths().hostPath(m_finalName);
    std::error_code ec;
    std::filesystem::rename(m_channels.paths().hostPath(temporaryName()), target, ec);
    if (ec) {
        const int error = records::file_error::fromErrno(ec.value(), target.c_str());
        m_prompter.message({}, "Errore tipo " + records::signedNumberText(error) + " nella creazione del file "
                                   + m_finalName);
        abandon();
        throw SeriesStopped();
    }
    m_finalName.clear();
    return target.string();
}

void SeriesFile::abandon()
{
    if (m_finalName.empty())
        return;
    m_channels.close(m_channel);
    std::error_code ec;
    std::filesystem::remove(m_channels.paths().hostPath(temporaryName()), ec);
    m_finalName.clear();
}

} // namespace uniemens
