#pragma once

#include <string>

namespace records {
class Channels;
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
    // The file is written on `channel` of `channels`, opened for sequential output.
    SeriesFile(records::Channels& channels, int channel);
    ~SeriesFile();
    SeriesFile(const SeriesFile&) = delete;
    SeriesFile& operator=(const SeriesFile&) = delete;

    // Creates the file under a temporary name of its own (never an existing file, never
    // through a link) and opens it on the channel. Throws SeriesStopped when the channel
    // could not (it has shown why).
    void create(const std::string& finalName);
    // True while the file is being written: not yet stored, abandoned or closed with the
    // channel.
    bool isOpen() const;
    // The final name, in installation notation; empty when no series is open.
    const std::string& finalName() const { return m_finalName; }

    // Pushes the written lines to the disk and gives the file its final name, replacing an
    // older file of that name. After a failure, which the channel shows (naming line
    // `lineCount` for a failed push), the file is gone and SeriesStopped is thrown. Returns
    // the host path of the stored file.
    std::string complete(double lineCount);
    // Closes the channel and removes the temporary file; nothing when no series is open.
    void abandon();

private:
    records::Channels& m_channels;
    int m_channel;
    std::string m_finalName;
};

} // namespace uniemens
