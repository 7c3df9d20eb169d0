#pragma once

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "records/prompter.h"

namespace app {

// The operator of the command line: every message box becomes one line on the error
// stream, "TITLE: TEXT" (TEXT alone under the default title), in UTF-8. Questions are
// answered from the options given, by their identity; a question that no option answers is
// answered No. Questions are written as lines too, with the answer given: "TEXT [Si]" or
// "TEXT [No]".
class ConsolePrompter : public records::Prompter {
public:
    explicit ConsolePrompter(std::ostream& err)
        : m_err(err)
    {
    }

    void answerYes(records::Question question) { m_yes.insert(question); }

    void message(std::string_view title, std::string_view text, records::Icon icon) override;
    bool askYesNo(records::Question question, std::string_view title, std::string_view text,
                  records::Icon icon) override;

    int messageCount() const { return m_messages; }

private:
    void writeLine(std::string_view title, std::string_view text, std::string_view suffix);

    std::ostream& m_err;
    std::set<records::Question> m_yes;
    int m_messages = 0;
};

// Starts nothing and shows nothing: a server has no desktop. Programs that would be started
// are named on the error stream.
class ConsoleLauncher : public records::Launcher {
public:
    explicit ConsoleLauncher(std::ostream& err)
        : m_err(err)
    {
    }
    bool startProgram(const std::string& hostProgram, const std::vector<std::string>& arguments) override;
    bool openUrl(const std::string& url) override;
    void showTextFile(const std::string& hostPath, std::string_view title) override;

private:
    std::ostream& m_err;
};

} // namespace app
