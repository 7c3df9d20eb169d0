#include "uniemens/series_file.h"

#include "records/channels.h"
#include "uniemens/series_stop.h"

namespace uniemens {

namespace {
// Record length given when the file is created, as the payroll suite always did.
constexpr int kCreateRecordLength = 128;
} // namespace

SeriesFile::SeriesFile(records::Channels& channels, int channel)
    : m_channels(channels)
    , m_channel(channel)
{
}

SeriesFile::~SeriesFile()
{
    abandon();
}

void SeriesFile::create(const std::string& finalName)
{
    abandon();
    m_channels.select(m_channel, finalName, kCreateRecordLength);
    m_channels.openNewSequential();
    if (m_channels.lastError() != 0) {
        m_channels.discardNewFile(m_channel);
        throw SeriesStopped();
    }
    m_finalName = finalName;
}

bool SeriesFile::isOpen() const
{
    return !m_finalName.empty() && m_channels.holdsNewFile(m_channel);
}

std::string SeriesFile::complete(double lineCount)
{
    m_channels.setCurrent(m_channel);
    m_channels.setLineCounter(lineCount);
    const std::string target = m_channels.hostPath(m_channel);
    const bool stored = m_channels.commitNewFile(m_channel);
    m_finalName.clear();
    if (!stored)
        throw SeriesStopped(); // the channel has shown why; the new file is gone
    return target;
}

void SeriesFile::abandon()
{
    if (m_finalName.empty())
        return;
    m_channels.discardNewFile(m_channel);
    m_finalName.clear();
}

} // namespace uniemens
