#include "store/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// What went wrong, in the system's words: "cannot write /data/Toolbars.cfg: No space left
// on device". error is errno's value at the failure; the arguments build no string, so
// that reading errno among them sees that value.
Failure systemFailure(const char* what, const std::string& path, int error)
{
    return Failure{std::string(what) + " " + path + ": " + std::generic_category().message(error)};
}

// The file a write lands in: a symbolic link is followed so that replacing the file does
// not replace the link with a plain file.
fs::path resolvedTarget(const std::string& path)
{
    std::error_code ec;
    fs::path p(path);
    if (fs::is_symlink(fs::symlink_status(p, ec))) {
        fs::path resolved = fs::weakly_canonical(p, ec);
        if (!ec)
            return resolved;
    }
    return p;
}

std::string temporaryName(const fs::path& target, unsigned attempt)
{
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
    auto pid = _getpid();
#else
    auto pid = getpid();
#endif
    fs::path folder = target.parent_path();
    // Built by appending: GCC 12 warns falsely (-Wrestrict) about "." + std::string.
    std::string name = ".";
    name += target.filename().string();
    name += ".tmp-" + std::to_string(pid) + "-" + std::to_string(static_cast<unsigned long long>(ticks)) + "-"
        + std::to_string(attempt);
    return (folder / name).string();
}

#ifdef _WIN32

Result<void> writeAndReplace(const fs::path& target, std::string_view bytes)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string temp = temporaryName(target, attempt);
        int fd = _open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return systemFailure("cannot create", temp, errno);
        }
        bool ok = true;
        for (std::size_t done = 0; ok && done < bytes.size();) {
            unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
            int n = _write(fd, bytes.data() + done, chunk);
            ok = n > 0;
            if (ok)
                done += static_cast<std::size_t>(n);
        }
        ok = ok && _commit(fd) == 0;
        const int writeError = errno;
        ok = _close(fd) == 0 && ok;
        if (!ok) {
            _unlink(temp.c_str());
            return systemFailure("cannot write", temp, writeError);
        }
        if (!MoveFileExA(temp.c_str(), target.string().c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const std::string why = std::system_category().message(static_cast<int>(GetLastError()));
            _unlink(temp.c_str());
            return Failure{"cannot replace " + target.string() + ": " + why};
        }
        return {};
    }
    return Failure{"no free temporary name beside " + target.string()};
}

#else

// 0, or the error that stopped the writing.
int writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

void syncFolder(const fs::path& folder)
{
    // Makes the rename itself durable; a folder that cannot be opened for this is no
    // reason to call the save failed, the file is already in place.
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

Result<void> writeAndReplace(const fs::path& target, std::string_view bytes)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string temp = temporaryName(target, attempt);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return systemFailure("cannot create", temp, errno);
        }
        // The new file takes the old one's permissions, as overwriting it would have.
        struct stat old {};
        if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            ::fchmod(fd, old.st_mode & 07777);
        int error = writeAll(fd, bytes);
        if (error == 0 && ::fsync(fd) != 0)
            error = errno;
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0) {
            ::unlink(temp.c_str());
            return systemFailure("cannot write", temp, error);
        }
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            error = errno;
            ::unlink(temp.c_str());
            return systemFailure("cannot replace", target.string(), error);
        }
        syncFolder(target.parent_path());
        return {};
    }
    return Failure{"no free temporary name beside " + target.string()};
}

#endif

} // namespace

#ifdef _WIN32

bool FileMayExist(const std::string& path)
{
    std::error_code ec;
    bool exists = fs::exists(path, ec);
    return exists || ec;
}

Result<std::string> ReadFileBytes(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec)
        return Failure{"cannot read " + path + ": " + ec.message()};
    if (!fs::is_regular_file(status))
        return Failure{path + " is not a file"};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return systemFailure("cannot open", path, errno);
    std::string bytes;
    char chunk[64 * 1024];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    const int error = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (error != 0)
        return systemFailure("cannot read", path, error);
    return bytes;
}

#else

// The system calls directly: start-up reads one file per toolbar, and going through
// std::filesystem builds and splits a path object for every question asked.

bool FileMayExist(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

Result<std::string> ReadFileBytes(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return systemFailure("cannot read", path, errno);
    if (!S_ISREG(st.st_mode))
        return Failure{path + " is not a file"};
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure("cannot open", path, errno);
    // Sized from the stat, one byte over so that the read finding the end needs no more
    // room; a file that grows meanwhile is still read whole.
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)) + 1);
    std::size_t used = 0;
    int error = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(2 * bytes.size());
        ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (error != 0)
        return systemFailure("cannot read", path, error);
    bytes.resize(used);
    return bytes;
}

#endif

Result<void> WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    return writeAndReplace(resolvedTarget(path), bytes);
}

std::string KeepOriginal(const std::string& path)
{
    std::error_code ec;
    fs::path original = resolvedTarget(path);
    if (!fs::is_regular_file(fs::status(original, ec)) || fs::file_size(original, ec) == 0)
        return {};
    std::optional<Result<std::string>> bytes; // read only when a comparison needs them
    for (int k = 1; k < 100; ++k) {
        std::string candidate = original.string() + ".bak" + (k == 1 ? "" : std::to_string(k));
        if (fs::exists(fs::symlink_status(candidate, ec))) {
            if (fs::equivalent(original, candidate, ec))
                return candidate;
            if (!bytes)
                bytes = ReadFileBytes(original.string());
            if (*bytes) {
                const Result<std::string> other = ReadFileBytes(candidate);
                if (other && other.value() == bytes->value())
                    return candidate;
            }
            continue;
        }
        // A second name for the same bytes costs nothing and needs no reading, so it works
        // even when the file could not be read; a later save replaces only the first name.
        fs::create_hard_link(original, candidate, ec);
        if (ec) {
            ec.clear();
            fs::copy_file(original, candidate, ec);
        }
        return ec ? std::string() : candidate;
    }
    return {};
}
