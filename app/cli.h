#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace app::cli {

// The options of one command: "--name value" pairs and "--flag"s.
class Arguments {
public:
    // Parses argv[first..]; `flags` names the options that take no value, `valued` those
    // that take one, `repeatable` those of them that may be given more than once (each time
    // with a value of its own, as the companies of one UniEmens file). Returns an error
    // text, empty when the arguments are well formed. Any other option given twice is
    // refused, never the last value winning. A value that is not well-formed UTF-8 (an
    // overlong form, a surrogate, a sequence cut short) is refused, with the position of
    // its first bad byte.
    std::string parse(const std::vector<std::string>& argv, std::size_t first, const std::set<std::string>& flags,
                      const std::set<std::string>& valued, const std::set<std::string>& repeatable = {});

    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    bool flag(const std::string& name) const { return m_flags.contains(name); }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::set<std::string> m_flags;
};

// The installation root named by --root, as an absolute path. When it holds no
// installation (no drive file "c\disco.ute", in any case of its name), says so in one line,
// "nessuna installazione in ROOT (manca c\disco.ute)", and gives nothing: the command then
// ends with 2 before it creates anything. A root that cannot be looked into (no permission,
// a name too long for the host) is given back: the command's first open tells what is wrong.
std::optional<std::filesystem::path> installationRoot(std::ostream& err, std::string_view command,
                                                      const std::string& rootOption);

// An option value, UTF-8 as parse() has checked, in the installation's Windows-1252;
// characters that the code page lacks become "?".
std::string installationText(std::string_view option);

// The whole command line: "telematico-cli COMMAND [options]". Returns the exit status:
// 0 when the work was done, 1 after a stop message or a failure, 2 for wrong options.
// "COMMAND --help" (or -h) prints that command's help.
int main(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

// Reports wrong options in one line, says where the help is, and returns 2.
int usageError(std::ostream& err, std::string_view command, std::string_view problem);

// The commands, each in its own file with its help.
int demoCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
int cuCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
int anagraficheCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
int uniemensCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
int verificaCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
extern const char* const kDemoHelp;
extern const char* const kCuHelp;
extern const char* const kAnagraficheHelp;
extern const char* const kUniemensHelp;
extern const char* const kVerificaHelp;

extern const char* const kUsage;

} // namespace app::cli
