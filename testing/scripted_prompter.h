#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/prompter.h"

namespace records::testing {

// A Prompter for tests: records every box it is shown and answers questions from one queue
// filled by the test, in the order they are asked. A question with no queued answer, or a
// Yes/No question given Annulla, fails the test loudly.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        std::string title;
        std::string text;
        Icon icon;
        bool question;
        Question asked;       // which question, when `question`
        bool cancelOffered = false;               // a Yes/No/Cancel question
    };

    void message(std::string_view title, std::string_view text, Icon icon) override
    {
        shown.push_back({std::string(title), std::string(text), icon, false, {}});
        if (onMessage)
            onMessage();
    }

    bool askYesNo(Question question, std::string_view title, std::string_view text, Icon icon) override
    {
        shown.push_back({std::string(title), std::string(text), icon, true, question});
        const Answer answer = next(text);
        if (answer == Answer::Cancel)
            throw std::logic_error("a Yes/No question answered Annulla: " + std::string(text));
        return answer == Answer::Yes;
    }

    Answer askYesNoCancel(Question question, std::string_view title, std::string_view text, Icon icon) override
    {
        shown.push_back({std::string(title), std::string(text), icon, true, question, true});
        return next(text);
    }

    void answer(bool yes) { answers.push_back(yes ? Answer::Yes : Answer::No); }
    void answer(Answer choice) { answers.push_back(choice); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& s : shown)
            result.push_back(s.text);
        return result;
    }
    const Shown& last() const { return shown.back(); }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
    // Called while a message is on screen, to look at the window behind it.
    std::function<void()> onMessage;

private:
    Answer next(std::string_view text)
    {
        if (answers.empty())
            throw std::logic_error("unexpected question: " + std::string(text));
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A Launcher for tests: remembers what it was asked to start or show.
class RecordingLauncher : public Launcher {
public:
    bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& workingDirectory = {}) override
    {
        started.push_back(program);
        (void)arguments;
        workingDirectories.push_back(workingDirectory);
        return startSucceeds;
    }
    bool openUrl(const std::string& url) override
    {
        urls.push_back(url);
        return true;
    }
    void showTextFile(const std::string& hostPath, std::string_view) override { shownFiles.push_back(hostPath); }

    bool startSucceeds = true;
    std::vector<std::string> started;
    std::vector<std::string> workingDirectories; // one per program started, empty when none was given
    std::vector<std::string> urls;
    std::vector<std::string> shownFiles;
};

} // namespace records::testing
