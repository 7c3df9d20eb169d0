#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "records/output_file.h"

namespace records::testing {

// A fresh installation root in the system's temporary folder, removed with the object.
class TempRoot {
public:
    TempRoot()
    {
        std::random_device device;
        m_path = std::filesystem::temp_directory_path()
            / ("telematico-test-" + std::to_string(device()) + std::to_string(device()));
        std::filesystem::create_directories(m_path / "c");
    }
    ~TempRoot()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Writes `bytes` to ROOT/<relative>, creating folders; returns the host path.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const
    {
        const auto target = m_path / relative;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return target;
    }

    std::string read(const std::string& relative) const { return readFile(m_path / relative); }

    // The names of the temporary files that a new file left in ROOT/<folder>.
    std::vector<std::string> temporaryFilesIn(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path / folder)) {
            if (records::OutputFile::isTemporaryName(entry.path().filename().string()))
                names.push_back(entry.path().filename().string());
        }
        return names;
    }

    static std::string readFile(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path m_path;
};

} // namespace records::testing
