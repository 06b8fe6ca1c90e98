#pragma once

#include "FuzzCheck.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// One scratch folder per fuzzing process, emptied before every input and removed at exit.
class FuzzFolder {
public:
    FuzzFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() /
                               ("vyre-fuzz-" + std::to_string(getpid()) + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern;
    }
    ~FuzzFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }

    const std::string& path() const { return m_path; }

    // Empties the folder (copies kept by an earlier input included), then writes one file.
    std::string put(const std::string& name, const unsigned char* data, std::size_t size) const
    {
        std::error_code ec;
        for (auto& e : std::filesystem::directory_iterator(m_path, ec))
            std::filesystem::remove_all(e.path(), ec);
        std::string file = m_path + "/" + name;
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                    static_cast<std::streamsize>(size));
        return file;
    }

private:
    std::string m_path;
};
