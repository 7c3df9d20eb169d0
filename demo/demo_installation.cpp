#include "demo/demo_installation.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

#include "demo/cu_demo.h"
#include "demo/demo_people.h"
#include "demo/register_demo.h"
#include "demo/uniemens_demo.h"
#include "records/host_paths.h"
#include "records/installation.h"
#include "records/output_file.h"
#include "records/record_io.h"

namespace demo {

std::string monthlyDataFile(std::string_view kind, std::string_view company, std::string_view month)
{
    // The extension is the year's last three digits: ".016".
    return "C:\\nolv\\paghe\\" + std::string(kind) + std::string(company) + std::string(month) + "."
           + std::string(kDemoYear.view().substr(1));
}

std::vector<DemoFile> demoInstallationFiles()
{
    std::vector<DemoFile> files;
    files.push_back({records::kDriveFile, "C:" + std::string(8, ' '), kDriveRecordLength});
    files.push_back({std::string("C:") + records::kYearFile, std::string(kDemoYear.c_str()) + std::string(6, ' '),
                     kDriveRecordLength});
    files.push_back({"C:\\tabcom\\comuni.dat", municipalityFile(), kMunicipalityRecordLength});
    addCuDemo(files);
    addUniemensDemo(files);
    addRegisterDemo(files);
    return files;
}

std::vector<std::string> demoInstallationFolders()
{
    return {"C:\\Program Files\\INPS\\INPS uniEmens individuale"};
}

void writeDemoInstallation(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    const records::PathMapper paths(root);
    std::error_code ec;
    for (const std::string& folder : demoInstallationFolders()) {
        const fs::path host = paths.hostPath(folder);
        fs::create_directories(host, ec);
        if (ec)
            throw std::runtime_error("impossibile creare la cartella " + host.string() + ": " + ec.message());
    }
    for (const DemoFile& file : demoInstallationFiles()) {
        const fs::path host = paths.hostPath(file.path);
        fs::create_directories(host.parent_path(), ec);
        if (ec)
            throw std::runtime_error("impossibile creare la cartella " + host.parent_path().string() + ": "
                                     + ec.message());
        // A demo file takes the place of a file of its name; a link left under the name goes
        // with it and is never written through.
        if (fs::is_symlink(host, ec) || fs::is_regular_file(host, ec))
            fs::remove(host, ec);
        const int descriptor = records::createExclusively(host);
        const int error = descriptor < 0 ? errno : records::writeAllAt(descriptor, file.bytes, 0);
        if (descriptor >= 0 && ::close(descriptor) != 0 && error == 0)
            throw std::runtime_error("impossibile scrivere il file " + host.string());
        if (error != 0)
            throw std::runtime_error("impossibile scrivere il file " + host.string() + ": "
                                     + std::generic_category().message(error));
    }
}

} // namespace demo
