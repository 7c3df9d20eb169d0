#pragma once

#include <filesystem>
#include <string>
#include <utility>

#include "records/host_paths.h"
#include "records/installation.h"

namespace records {

class Launcher;
class Prompter;

// What the windows of the program truly share for its whole run: where the installation
// lies and the values one window leaves for another. Record files are not shared: each form
// opens its own, so that one window closing its files never closes another's.
struct SharedValues {
    explicit SharedValues(std::filesystem::path root)
        : paths(std::move(root))
    {
    }
    SharedValues(const SharedValues&) = delete;
    SharedValues& operator=(const SharedValues&) = delete;

    PathMapper paths;
    // Drive prefix and data directory (read by createl's load step), working year (read by
    // inditta's load step).
    Installation installation;
    // The company data file confirmed in inditta ("C:\nolv\paghe\una00103.016"); the
    // UniEmens writers and the employee register derive their file names from it.
    std::string selectedDataFile;
    // Which folder the employee register takes its employee data file from: 1 "paghe"
    // (set by inditta's load step), 2 "pagmar".
    int dataAreaSelector = 0;
    // Number of employee records of the selected company, set by whoever opens the
    // employee register.
    double employeeRecordCount = 0;
    // The text that the status bars show.
    std::string helpText;
};

// What a program lends every form it opens: the shared values and the operator who answers
// the form's messages and questions and for whom it starts programs.
struct Workplace {
    SharedValues& shared;
    Prompter& prompter;
    Launcher& launcher;
};

} // namespace records
