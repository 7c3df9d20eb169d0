#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/prompter.h"

// The operator of the developers' tools: nobody sits in front of a benchmark.
namespace tools {

// Answers No (Annulla where it is offered, which stores and drops nothing) and keeps what it
// was shown, so a run never waits for anybody.
class SilentPrompter : public records::Prompter {
public:
    void message(std::string_view title, std::string_view text, records::Icon) override
    {
        shown.push_back(std::string(title) + ": " + std::string(text));
    }
    bool askYesNo(records::Question, std::string_view title, std::string_view text, records::Icon) override
    {
        shown.push_back(std::string(title) + ": " + std::string(text) + " (No)");
        return false;
    }
    records::Answer askYesNoCancel(records::Question, std::string_view title, std::string_view text,
                                   records::Icon) override
    {
        shown.push_back(std::string(title) + ": " + std::string(text) + " (Annulla)");
        return records::Answer::Cancel;
    }
    std::vector<std::string> shown;
};

// Starts nothing and shows nothing.
class NoLauncher : public records::Launcher {
public:
    bool startProgram(const std::string&, const std::vector<std::string>&, const std::string&) override
    {
        return false;
    }
    bool openUrl(const std::string&) override { return false; }
    void showTextFile(const std::string&, std::string_view) override {}
};

} // namespace tools
