#pragma once

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace app::cli {

// The options of one command: "--name value" pairs (a name may repeat) and "--flag"s.
class Arguments {
public:
    // Parses argv[first..]; `flags` names the options that take no value. Returns an
    // error text, empty when the arguments are well formed. A value that is not well-formed
    // UTF-8 (an overlong form, a surrogate, a sequence cut short) is refused, with the
    // position of its first bad byte.
    std::string parse(const std::vector<std::string>& argv, std::size_t first, const std::set<std::string>& flags,
                      const std::set<std::string>& valued);

    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    bool flag(const std::string& name) const { return m_flags.contains(name); }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::set<std::string> m_flags;
};

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
