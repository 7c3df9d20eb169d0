#include "uniemens/programs.h"

#include "records/cp1252.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/prompter.h"
#include "records/workplace.h"

namespace uniemens {

namespace {

constexpr const char* kCheckingProgram = "c:\\Program Files\\Inps\\INPS uniEmens individuale\\UniEMensIndiv.exe";
constexpr const char* kMenuProgram = "\\wnolv\\pmenu.exe";
constexpr const char* kPayrollFolder = "\\nolv";

InstalledProgram installedProgram(const records::PathMapper& paths, const std::string& path)
{
    return {path, paths.hostPath(path).string(), paths.fileExists(path)};
}

} // namespace

InstalledProgram checkingProgram(const records::PathMapper& paths)
{
    return installedProgram(paths, kCheckingProgram);
}

InstalledProgram payrollMenu(const records::PathMapper& paths, std::string_view drivePrefix)
{
    return installedProgram(paths, std::string(drivePrefix) + kMenuProgram);
}

bool startInstalledProgram(const records::Workplace& workplace, const std::string& installationPath,
                           const std::string& workingFolder)
{
    const records::PathMapper& paths = workplace.paths;
    if (!paths.fileExists(installationPath)) {
        workplace.prompter.message({},
                                   "Il programma " + installationPath + " non e' installato (su questo computer: "
                                       + records::utf8ToCp1252(paths.hostPath(installationPath).string()) + ")",
                                   records::Icon::Stop);
        return false;
    }
    const std::string hostFolder = workingFolder.empty() ? std::string() : paths.hostPath(workingFolder).string();
    if (!workplace.launcher.startProgram(paths.hostPath(installationPath).string(), {}, hostFolder)) {
        workplace.prompter.message({}, "Impossibile avviare il programma " + installationPath, records::Icon::Stop);
        return false;
    }
    return true;
}

bool startCheckingProgram(const records::Workplace& workplace)
{
    return startInstalledProgram(workplace, kCheckingProgram);
}

bool startPayrollMenu(const records::Workplace& workplace)
{
    const std::string& drive = workplace.installation.drivePrefix;
    return startInstalledProgram(workplace, drive + kMenuProgram, drive + kPayrollFolder);
}

} // namespace uniemens
