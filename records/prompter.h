#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace records {

enum class Icon { None, Information, Question, Stop, Warning };

// The identity of a question that the program asks: the command line and the tests answer a
// question by it, never by its Italian text. The feature that asks a question declares it,
// with a name that is unique across the program ("cu.report-wanted"). A question whose Yes
// stores something that failed a check offers No as its default button, so that a hurried
// Enter does not store it.
class Question {
public:
    enum class Default { Yes, No };

    // No question: what a message box that asks nothing carries.
    constexpr Question() = default;
    constexpr explicit Question(std::string_view name, Default defaultAnswer = Default::Yes)
        : m_name(name)
        , m_default(defaultAnswer)
    {
    }

    constexpr std::string_view name() const { return m_name; }
    constexpr bool noIsTheDefault() const { return m_default == Default::No; }

    friend constexpr bool operator==(const Question& a, const Question& b) { return a.m_name == b.m_name; }
    friend constexpr bool operator<(const Question& a, const Question& b) { return a.m_name < b.m_name; }

    // The questions that the features ask, by short name.
    static const Question CheckFileNow;

private:
    std::string_view m_name;
    Default m_default = Default::Yes;
};

// createl and inditta after a file was written: "Verificare il file adesso ?"
inline constexpr Question Question::CheckFileNow{"check.check-file-now"};

// The answer to a question that also offers to do nothing: Si', No, Annulla.
enum class Answer { Yes, No, Cancel };

// Whoever shows the core's messages and asks its questions: a window, a test or the
// command line. Texts are Windows-1252 bytes; an empty title means the program's own
// default title ("telematico").
class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box with an OK button only.
    virtual void message(std::string_view title, std::string_view text, Icon icon = Icon::None) = 0;
    // A box with Yes and No buttons; true means Yes. `question` says which question it is.
    virtual bool askYesNo(Question question, std::string_view title, std::string_view text, Icon icon = Icon::None) = 0;
    // A box with Yes, No and Cancel buttons. A prompter that cannot offer the third button
    // answers Cancel, which leaves everything as it was: nothing is stored, nothing dropped.
    virtual Answer askYesNoCancel(Question question, std::string_view title, std::string_view text,
                                  Icon icon = Icon::None)
    {
        (void)question;
        (void)title;
        (void)text;
        (void)icon;
        return Answer::Cancel;
    }
};

// Programs and pages that the tool starts and never waits for, and the read-only viewer
// that shows a text file such as the run report.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a program by its host path without a shell; false when it could not be started.
    // A `workingDirectory` (host path) is the started program's current folder; empty keeps
    // the tool's own.
    virtual bool startProgram(const std::string& hostProgram, const std::vector<std::string>& arguments,
                              const std::string& workingDirectory = {})
        = 0;
    // Opens a web page with the desktop's URL opener; false when nothing could open it.
    virtual bool openUrl(const std::string& url) = 0;
    // Shows a plain-text file (host path) read-only.
    virtual void showTextFile(const std::string& hostPath, std::string_view title) = 0;
};

} // namespace records
