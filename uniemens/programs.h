#pragma once

#include <string>
#include <string_view>

namespace records {
class PathMapper;
struct Workplace;
} // namespace records

namespace uniemens {

// The programs around a UniEmens declaration that the tool starts and never waits for: the
// INPS checking program, which takes every XML file of its folder, and the payroll suite's
// menu.

// A program of the installation: its path there, the host path that is, and whether it is there.
struct InstalledProgram {
    std::string path;
    std::string hostPath;
    bool installed = false;
};
// "c:\Program Files\Inps\INPS uniEmens individuale\UniEMensIndiv.exe"
InstalledProgram checkingProgram(const records::PathMapper& paths);
// drive prefix + "\wnolv\pmenu.exe"
InstalledProgram payrollMenu(const records::PathMapper& paths, std::string_view drivePrefix);

// Starts a program of the installation by its installation path, in `workingFolder` (an
// installation path; empty keeps the tool's own). A program that is not there, or that
// could not be started, is named to the operator with the stop icon. True when started.
bool startInstalledProgram(const records::Workplace& workplace, const std::string& installationPath,
                           const std::string& workingFolder = {});
// Starts the INPS checking program.
bool startCheckingProgram(const records::Workplace& workplace);
// Starts the payroll suite's menu in the payroll folder, where it finds its files.
bool startPayrollMenu(const records::Workplace& workplace);

} // namespace uniemens
