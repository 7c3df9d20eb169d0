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

} // namespace

fs::path PathMapper::hostPath(std::string_view path) const
{
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

    bool parentExists = fs::is_directory(result);
    for (const std::string& component : components) {
        bool found = false;
        const std::string name = parentExists ? matchComponent(result, component, found) : component;
        result /= name;
        parentExists = found && fs::is_directory(result);
    }
    return result;
#endif
}

bool PathMapper::fileExists(std::string_view installationPath) const
{
    std::error_code ec;
    return fs::is_regular_file(hostPath(installationPath), ec);
}

std::vector<std::string> PathMapper::listDirectory(std::string_view installationPath) const
{
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(hostPath(installationPath), ec);
    if (ec)
        return names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        names.push_back(utf8ToCp1252(it->path().filename().string()));
    }
    return names;
}

fs::path PathMapper::resolveRoot(const std::optional<std::string>& commandLineRoot)
{
    if (commandLineRoot && !commandLineRoot->empty())
        return fs::absolute(*commandLineRoot);
    if (const char* env = std::getenv("TELEMATICO_ROOT"); env && *env)
        return fs::absolute(env);
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return fs::path(data) / "telematico";
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share" / "telematico";
    return fs::absolute("telematico-root");
}

} // namespace records
