#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "records/cu_edition.h"

// A demo installation of the payroll suite: what a small payroll office's disk holds at the
// beginning of 2017, ready for a CU run and for the UniEmens declarations of March and April
// 2016. Its parts: the CU archives (demo/cu_demo.h), the UniEmens months
// (demo/uniemens_demo.h) and the registers (demo/register_demo.h), made of the records of
// demo/record_builders.h.
namespace demo {

// The year of the demo's payroll data, of its year file and of its monthly data files: the
// income year of its CU archives.
inline constexpr records::FixedText kDemoYear = records::cu_edition::incomeYear;

// A monthly data file of the payroll program in the demo's year: `kind` "una" (company),
// "unb" (employees) or "unc" (collaborators), the company's three digits and the month's
// two ("C:\nolv\paghe\unb00103.016").
std::string monthlyDataFile(std::string_view kind, std::string_view company, std::string_view month);

// One file of the demo installation: its path in installation notation, its bytes and the
// length of its records (every file of the demo is a record file).
struct DemoFile {
    std::string path;
    std::string bytes;
    std::size_t recordLength = 0;
};

// Every file of the demo installation, in the order they are written.
std::vector<DemoFile> demoInstallationFiles();
// Folders the demo creates although no file of it lies there (installation notation):
// the UniEmens checking program's folder, which receives the XML files.
std::vector<std::string> demoInstallationFolders();

// Writes the demo installation below `root` (one folder per drive letter, as the installation
// paths map to host paths). Existing files of the same names are replaced; nothing else is
// touched. Throws std::runtime_error when a file cannot be written.
void writeDemoInstallation(const std::filesystem::path& root);

} // namespace demo
