#pragma once

#include <functional>
#include <map>
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
// "TEXT [No]". A question that also offers Annulla and that no option answers is answered
// Annulla ("TEXT [Annulla]"): of its three answers it is the one that neither stores nor
// drops anything, so a script that did not expect it loses nothing and writes nothing.
class ConsolePrompter : public records::Prompter {
public:
    explicit ConsolePrompter(std::ostream& err)
        : m_err(err)
    {
    }

    void answerYes(records::Question question) { m_yes.insert(question); }
    void setAnswer(records::Question question, bool yes)
    {
        if (yes)
            m_yes.insert(question);
        else
            m_yes.erase(question);
    }

    // The answer to a Yes/No/Cancel question.
    void setChoice(records::Question question, records::Answer answer) { m_choices[question] = answer; }

    void message(std::string_view title, std::string_view text, records::Icon icon) override;
    bool askYesNo(records::Question question, std::string_view title, std::string_view text,
                  records::Icon icon) override;
    records::Answer askYesNoCancel(records::Question question, std::string_view title, std::string_view text,
                                   records::Icon icon) override;

    int messageCount() const { return m_messages; }

    // Called before each line is written, e.g. to end a progress line on the terminal.
    std::function<void()> beforeLine;

private:
    void writeLine(std::string_view title, std::string_view text, std::string_view suffix);

    std::ostream& m_err;
    std::set<records::Question> m_yes;
    std::map<records::Question, records::Answer> m_choices;
    int m_messages = 0;
};

// How far a long piece of work has got, as "TEXT: N di M" rewritten in place on a terminal,
// a few times a second. On anything that is not a terminal it writes nothing, so that
// scripts reading the error stream see only the messages.
class TerminalProgress {
public:
    TerminalProgress(std::ostream& err, bool terminal, std::string text)
        : m_err(err)
        , m_terminal(terminal)
        , m_text(std::move(text))
    {
    }
    ~TerminalProgress() { endLine(); }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void show(double done, double total);
    // Ends the progress line, if one is on screen, so that the next line starts afresh.
    void endLine();

private:
    std::ostream& m_err;
    bool m_terminal;
    std::string m_text;
    bool m_lineOpen = false;
    long long m_lastShown = -1; // milliseconds of the steady clock
};

// Starts nothing and shows nothing: a server has no desktop. Programs that would be started
// are named on the error stream.
class ConsoleLauncher : public records::Launcher {
public:
    explicit ConsoleLauncher(std::ostream& err)
        : m_err(err)
    {
    }
    bool startProgram(const std::string& hostProgram, const std::vector<std::string>& arguments,
                      const std::string& workingDirectory = {}) override;
    bool openUrl(const std::string& url) override;
    void showTextFile(const std::string& hostPath, std::string_view title) override;

private:
    std::ostream& m_err;
};

} // namespace app
