#include "uniemens/series_file.h"

#include "records/host_paths.h"
#include "uniemens/series_stop.h"

namespace uniemens {

SeriesFile::SeriesFile(const records::PathMapper& paths)
    : m_paths(paths)
{
}

SeriesFile::~SeriesFile()
{
    abandon();
}

std::vector<std::string> SeriesFile::create(const std::string& finalName)
{
    abandon();
    if (m_lock.acquire(m_paths.hostPath(finalName)) == records::FileLock::State::InUse)
        throw SeriesStopped(records::inUseMessage(finalName, m_lock.owner()));
    m_file = records::NewFile::ofLines(m_paths, finalName);
    std::vector<std::string> removed = m_file.removeLeftovers();
    if (records::FileResult created = m_file.create(); created.failed()) {
        m_file.discard();
        m_lock.release();
        throw SeriesStopped(std::move(created));
    }
    m_finalName = finalName;
    return removed;
}

std::string SeriesFile::complete(double lineCount)
{
    // The name the file was created for: its folders are not looked up again.
    const std::string target = m_file.targetHostPath().string();
    m_file.setWrittenCount(static_cast<std::int64_t>(lineCount));
    records::FileResult stored = m_file.commit();
    m_lock.release();
    m_finalName.clear();
    if (stored.failed())
        throw SeriesStopped(std::move(stored)); // the new file is gone
    return target;
}

void SeriesFile::abandon()
{
    if (!m_finalName.empty()) {
        m_file.discard();
        m_finalName.clear();
    }
    m_lock.release();
}

} // namespace uniemens
