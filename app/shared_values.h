#pragma once

#include <filesystem>
#include <string>

#include "cu/archive_record.h"
#include "cu/environment.h"
#include "records/channels.h"
#include "records/host_paths.h"
#include "records/installation.h"

namespace app {

// The values that every window of the program shares for its whole run: the record
// channels, the installation paths and working year, the CU field tables and the help
// text of the status bars. Each program makes one; each test a fresh one.
class SharedValues {
public:
    SharedValues(std::filesystem::path root, records::Prompter& prompter, records::Launcher& launcher)
        : paths(std::move(root))
        , channels(paths, prompter)
        , m_prompter(prompter)
        , m_launcher(launcher)
    {
    }
    SharedValues(const SharedValues&) = delete;
    SharedValues& operator=(const SharedValues&) = delete;

    cu::Environment cuEnvironment()
    {
        return {channels, installation, m_prompter, m_launcher, cuFields, helpText};
    }

    records::Prompter& prompter() { return m_prompter; }
    records::Launcher& launcher() { return m_launcher; }

    records::PathMapper paths;
    records::Channels channels;
    records::Installation installation;
    cu::CuFields cuFields;
    std::string helpText;

private:
    records::Prompter& m_prompter;
    records::Launcher& m_launcher;
};

} // namespace app
