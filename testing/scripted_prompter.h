#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/prompter.h"

namespace records::testing {

// A Prompter for tests: records every box it is shown and answers questions from a queue
// filled by the test. A question with no queued answer fails the test loudly.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        std::string title;
        std::string text;
        Icon icon;
        bool question;
        Question asked = Question::ReportWanted; // which question, when `question`
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
        if (answers.empty())
            throw std::logic_error("unexpected question: " + std::string(text));
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void answer(bool yes) { answers.push_back(yes); }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& s : shown)
            result.push_back(s.text);
        return result;
    }
    const Shown& last() const { return shown.back(); }

    std::vector<Shown> shown;
    std::deque<bool> answers;
    // Called while a message is on screen, to look at the window behind it.
    std::function<void()> onMessage;
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
