#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// The large set the benchmarks read: the folder named by VYRE_LARGE_SET when it is set,
// otherwise one generated into a temporary folder by gen_large_set.py (which writes the
// same bytes every time), again whenever the script is newer than what it wrote.
inline std::string LargeSetFolder()
{
    if (const char* given = std::getenv("VYRE_LARGE_SET"); given && *given)
        return given;
    static std::string folder;
    if (folder.empty()) {
        const auto out = std::filesystem::temp_directory_path() / "vyre-bench-large-set";
        const std::filesystem::path script = VYRE_BENCH_DIR "/gen_large_set.py";
        const std::filesystem::path cfg = out / "set" / "Toolbars.cfg";
        std::error_code ec;
        if (!std::filesystem::exists(cfg, ec)
            || std::filesystem::last_write_time(script, ec) > std::filesystem::last_write_time(cfg, ec)) {
            const std::string cmd = "python3 '" VYRE_BENCH_DIR "/gen_large_set.py' '" + out.string() + "'";
            if (std::system(cmd.c_str()) != 0) {
                std::fprintf(stderr, "could not generate the large set: %s\n", cmd.c_str());
                std::exit(1);
            }
        }
        folder = out.string();
    }
    return folder;
}
