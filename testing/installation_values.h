#pragma once

#include <filesystem>
#include <utility>

#include "records/host_paths.h"
#include "records/installation.h"
#include "records/workplace.h"

namespace records::testing {

// What the program owns for its windows (the paths of the installation and what its drive
// file and year file say), owned by a test instead, over the test's own root.
struct InstallationValues {
    explicit InstallationValues(std::filesystem::path root)
        : paths(std::move(root))
    {
    }
    InstallationValues(const InstallationValues&) = delete;
    InstallationValues& operator=(const InstallationValues&) = delete;

    Workplace workplace(Prompter& prompter, Launcher& launcher) { return {paths, installation, prompter, launcher}; }

    PathMapper paths;
    Installation installation;
};

} // namespace records::testing
