#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh folder for one test, removed with everything in it afterwards.
struct TempDir {
    TempDir() = default;
    TempDir(const TempDir&) = delete;
    ~TempDir() { std::filesystem::remove_all(path, ignored); }

    std::string file(const std::string& name) const { return path + "/" + name; }
    // How many names the folder holds: a temporary file left behind shows up here.
    int entries() const { return int(std::distance(std::filesystem::directory_iterator(path), {})); }

    std::string path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vyre-test-XXXXXX").string();
        return mkdtemp(pattern.data()) ? pattern : std::string();
    }();
    std::error_code ignored;
};

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
