#pragma once

#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace app::cli {

// The options of one command: "--name value" pairs (a name may repeat) and "--flag"s.
class Arguments {
public:
    // Parses argv[first..]; `flags` names the options that take no value. Returns an
    // error text, empty when the arguments are well formed.
    std::string parse(const std::vector<std::string>& argv, std::size_t first, const std::set<std::string>& flags,
                      const std::set<std::string>& valued);

    std::optional<std::string> value(const std::string& name) const;
    std::vector<std::string> values(const std::string& name) const;
    bool flag(const std::string& name) const { return m_flags.contains(name); }

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::set<std::string> m_flags;
};

// The whole command line: "telematico-cli COMMAND [options]". Returns the exit status.
int main(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

// The commands, each in its own file.
int demoCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
int cuCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);
int uniemensCommand(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

extern const char* const kUsage;

} // namespace app::cli
