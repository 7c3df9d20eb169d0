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

void SeriesFile::create(const std::string& finalName)
{
    abandon();
    m_file = records::NewFile::ofLines(m_paths, finalName);
    if (records::FileResult created = m_file.create(); created.failed()) {
        m_file.discard();
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
    m_finalName.clear();
    if (stored.failed())
        throw SeriesStopped(std::move(stored)); // the new file is gone
    return target;
}

void SeriesFile::abandon()
{
    if (m_finalName.empty())
        return;
    m_file.discard();
    m_finalName.clear();
}

} // namespace uniemens
