#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

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

    static std::string readFile(const std::filesystem::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path m_path;
};

} // namespace records::testing
