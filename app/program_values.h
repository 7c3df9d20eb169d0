#pragma once

#include <filesystem>
#include <utility>

#include "records/host_paths.h"
#include "records/installation.h"
#include "records/workplace.h"

namespace app {

// The values that the windows of the program truly share for its whole run, owned by the
// program and lent to each window through its Workplace: where the installation lies, and
// what its drive file and year file say once a window has read them. What one window hands
// to the next (the company and month chosen) goes as an argument of the opening, never here;
// status and help lines belong to each window.
struct ProgramValues {
    explicit ProgramValues(std::filesystem::path root)
        : paths(std::move(root))
    {
    }
    ProgramValues(const ProgramValues&) = delete;
    ProgramValues& operator=(const ProgramValues&) = delete;

    records::Workplace workplace(records::Prompter& prompter, records::Launcher& launcher)
    {
        return {paths, installation, prompter, launcher};
    }

    records::PathMapper paths;
    records::Installation installation;
};

} // namespace app
