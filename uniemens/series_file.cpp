#include "uniemens/series_file.h"

#include "records/host_paths.h"
#include "records/prompter.h"
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

void SeriesFile::create(const std::string& finalName, records::Prompter& prompter)
{
    abandon();
    if (m_lock.acquire(m_paths.hostPath(finalName)) == records::FileLock::State::InUse)
        throw SeriesStopped(records::inUseMessage(finalName, m_lock.owner()));
    m_file = records::NewFile::ofLines(m_paths, finalName);
    if (const std::string removed = records::leftoversMessage(m_file.removeLeftovers()); !removed.empty())
        prompter.message({}, removed, records::Icon::Information);
    if (records::FileResult created = m_file.create(); created.failed()) {
        m_file.discard();
        m_lock.release();
        throw SeriesStopped(std::move(created));
    }
    m_finalName = finalName;
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
