#pragma once

#include <string>

#include "records/file_lock.h"
#include "records/record_file.h"

namespace records {
class PathMapper;
class Prompter;
} // namespace records

namespace uniemens {

// The XML file of a series of declarations, kept from its first company to its last. It is
// written under a temporary name beside its final name and gets that name only when it is
// complete and on the disk, so that the checking program, which takes every XML file of its
// folder, never finds half a declaration, and an older file of the same name stays as it
// was until then. A series that does not reach its end leaves nothing behind, also when the
// program is stopped by a signal.
class SeriesFile {
public:
    explicit SeriesFile(const records::PathMapper& paths);
    ~SeriesFile();
    SeriesFile(const SeriesFile&) = delete;
    SeriesFile& operator=(const SeriesFile&) = delete;

    // Takes the file for this series and creates it under a temporary name of its own (never
    // an existing file, never through a link), for its lines. While the series holds it, no
    // other series (of this program or another one, on this computer or another) can take a
    // file of that name: it is refused with SeriesStopped and "Il file " + name + " e' in uso
    // da ... ". The temporary files that series which did not end had left in the folder are
    // removed first, and `prompter` is told. Throws SeriesStopped with the failure when the
    // file could not be created.
    void create(const std::string& finalName, records::Prompter& prompter);
    // True while the file is being written: not yet stored or abandoned.
    bool isOpen() const { return m_file.isOpen(); }
    // The final name, in installation notation; empty when no series is open.
    const std::string& finalName() const { return m_finalName; }
    // The file the lines are written into.
    records::NewFile& lines() { return m_file; }

    // Pushes the written lines to the disk and gives the file its final name, replacing an
    // older file of that name. After a failure (naming line `lineCount` for a failed push)
    // the file is gone and SeriesStopped is thrown with it. Returns the host path of the
    // stored file.
    std::string complete(double lineCount);
    // Removes the temporary file and gives the file back; nothing when no series is open.
    void abandon();

private:
    const records::PathMapper& m_paths;
    records::FileLock m_lock; // of the final name, from create() until the file is stored or abandoned
    records::NewFile m_file;
    std::string m_finalName;
};

} // namespace uniemens
