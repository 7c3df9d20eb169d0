#include "records/host_paths.h"

#include <cstdlib>
#include <system_error>

#include "records/cp1252.h"
#include "records/text.h"

namespace fs = std::filesystem;

namespace records {

PathMapper::PathMapper(fs::path root)
    : m_root(std::move(root))
{
}

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Finds the entry of `folder` whose name matches `component` ignoring ASCII case; an exact
// match wins over a folded one. Returns the host name to use.
std::string matchComponent(const fs::path& folder, const std::string& hostComponent, bool& found)
{
    found = false;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return hostComponent;
    std::string folded;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (name == hostComponent) {
            found = true;
            return name;
        }
        if (folded.empty() && equalsIgnoreAsciiCase(name, hostComponent))
            folded = name;
    }
    if (!folded.empty()) {
        found = true;
        return folded;
    }
    return hostComponent;
}

bool isControlByte(unsigned char byte)
{
    switch (byte) {
    case 0x7F: // DEL
    case 0x81: // the bytes that the code page leaves undefined: on the host they are C1
    case 0x8D: // control characters, as invisible in a folder listing as the others
    case 0x8F:
    case 0x90:
    case 0x9D:
        return true;
    default:
        return byte < 0x20;
    }
}

bool isDirectory(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

} // namespace

bool hasControlCharacter(std::string_view installationPath)
{
    for (const char c : installationPath) {
        if (isControlByte(static_cast<unsigned char>(c)))
            return true;
    }
    return false;
}

fs::path PathMapper::hostPath(std::string_view path) const
{
    if (hasControlCharacter(path))
        return {};
#ifdef _WIN32
    return fs::path(cp1252ToUtf8(path));
#else
    char drive = 'c';
    if (path.size() >= 2 && path[1] == ':' && isLetter(path[0])) {
        drive = static_cast<char>(path[0] | 0x20);
        path.remove_prefix(2);
    }

    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view component = path.substr(start, end - start);
        if (component.empty() || component == ".") {
            // doubled separator or "this folder": nothing to add
        } else if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else {
            components.push_back(cp1252ToUtf8(component));
        }
        start = end + 1;
    }

    fs::path result = m_root / std::string(1, drive);
    // Most paths are written with the case they have on disk: one lookup settles them.
    fs::path exact = result;
    for (const std::string& component : components)
        exact /= component;
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact;

    // Every lookup below takes an error code: a folder that cannot be entered, a loop of
    // symbolic links or a name too long for the host only ends the matching, and the open
    // that follows reports the failure with its error number.
    bool parentExists = isDirectory(result);
    for (const std::string& component : components) {
        bool found = false;
        const std::string name = parentExists ? matchComponent(result, component, found) : component;
        result /= name;
        parentExists = found && isDirectory(result);
    }
    return result;
#endif
}

bool PathMapper::fileExists(std::string_view installationPath) const
{
    const fs::path path = hostPath(installationPath);
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool PathMapper::sameFile(std::string_view first, std::string_view second) const
{
    const fs::path a = hostPath(first);
    const fs::path b = hostPath(second);
    if (a.empty() || b.empty())
        return false;
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

std::vector<std::string> PathMapper::listDirectory(std::string_view installationPath) const
{
    std::vector<std::string> names;
    const fs::path folder = hostPath(installationPath);
    if (folder.empty())
        return names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        names.push_back(utf8ToCp1252(it->path().filename().string()));
    }
    return names;
}

namespace {
// The absolute form of `path`; the path as given when the current folder cannot be told.
fs::path absoluteOrAsGiven(const fs::path& path)
{
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute;
}
} // namespace

fs::path PathMapper::resolveRoot(const std::optional<std::string>& commandLineRoot)
{
    if (commandLineRoot && !commandLineRoot->empty())
        return absoluteOrAsGiven(*commandLineRoot);
    if (const char* env = std::getenv("TELEMATICO_ROOT"); env && *env)
        return absoluteOrAsGiven(env);
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(data) / "telematico";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share" / "telematico";
    return absoluteOrAsGiven("telematico-root");
}

} // namespace records
