#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace records {

// Turns paths in the installation's own notation ("c:\disco.ute", "D:\nolv\paghe\una00103.016",
// "\tabcom\comuni.dat") into host paths below an installation root. The root holds one
// folder per drive letter, lower case ("ROOT/c", "ROOT/d"), as the drive folders of a
// Windows compatibility layer do.
//
// - "X:rest" maps to ROOT/x/rest; a text that starts with "\" is on the current drive,
//   which is C:; any other text is relative to ROOT/c.
// - "\" (and "/") separate components; empty components from doubled separators are dropped;
//   "." is dropped and ".." climbs one component but never above the drive folder, as on a
//   Windows drive.
// - Each component is looked up case-insensitively (ASCII) among the entries that exist; a
//   component that does not exist keeps the case as written, so files are created under it.
// - Names are Windows-1252 bytes; on the host they are UTF-8.
class PathMapper {
public:
    explicit PathMapper(std::filesystem::path root);

    const std::filesystem::path& root() const { return m_root; }

    std::filesystem::path hostPath(std::string_view installationPath) const;
    // True when a file (not a folder) of that name exists.
    bool fileExists(std::string_view installationPath) const;
    // Names (Windows-1252) of the entries of a folder; empty when it does not exist.
    std::vector<std::string> listDirectory(std::string_view installationPath) const;

    // The installation root for this run: the command-line value when given, else the
    // environment variable TELEMATICO_ROOT, else a folder of the user's own
    // ($XDG_DATA_HOME/telematico, or ~/.local/share/telematico).
    static std::filesystem::path resolveRoot(const std::optional<std::string>& commandLineRoot);

private:
    std::filesystem::path m_root;
};

} // namespace records
