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
// - A text with a control character (see hasControlCharacter()) names no host file at all:
//   a NUL would cut the host name short, so "TCU117\0.tmp" would reach "TCU117".
// Nothing here throws: a folder that cannot be entered, a loop of symbolic links or a name
// too long for the host leave the lookup as written, and the open that follows fails with
// its error number.
class PathMapper {
public:
    explicit PathMapper(std::filesystem::path root);

    const std::filesystem::path& root() const { return m_root; }

    // The host path of a text; empty when the text has a control character.
    std::filesystem::path hostPath(std::string_view installationPath) const;
    // True when a file (not a folder) of that name exists.
    bool fileExists(std::string_view installationPath) const;
    // True when both texts name one existing host file, whatever the spelling (case, doubled
    // separators, "..", links): a new file of the first name would replace the second.
    bool sameFile(std::string_view first, std::string_view second) const;
    // Names (Windows-1252) of the entries of a folder; empty when it does not exist.
    std::vector<std::string> listDirectory(std::string_view installationPath) const;

    // The installation root for this run: the command-line value when given, else the
    // environment variable TELEMATICO_ROOT, else a folder of the user's own
    // ($XDG_DATA_HOME/telematico, or ~/.local/share/telematico).
    static std::filesystem::path resolveRoot(const std::optional<std::string>& commandLineRoot);

private:
    std::filesystem::path m_root;
};

// True when the text holds a byte that no file name of the installation may hold: the
// control characters 0 to 31 and 127 (NUL, ESC, ...), and the five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D), which would be C1 controls on the host.
bool hasControlCharacter(std::string_view installationPath);

} // namespace records
