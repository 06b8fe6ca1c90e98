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

#ifdef _WIN32
int FileCalls::open(const char* path, int flags, unsigned mode) const { return ::_open(path, flags, int(mode)); }
long FileCalls::write(int fd, const void* data, std::size_t size) const
{
    return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1 << 20)));
}
int FileCalls::fsync(int fd) const { return ::_commit(fd); }
int FileCalls::close(int fd) const { return ::_close(fd); }
int FileCalls::unlink(const char* path) const { return ::_unlink(path); }
#else
int FileCalls::open(const char* path, int flags, unsigned mode) const { return ::open(path, flags, mode_t(mode)); }
long FileCalls::write(int fd, const void* data, std::size_t size) const { return ::write(fd, data, size); }
int FileCalls::fsync(int fd) const { return ::fsync(fd); }
int FileCalls::close(int fd) const { return ::close(fd); }
int FileCalls::unlink(const char* path) const { return ::unlink(path); }
#endif
int FileCalls::rename(const char* from, const char* to) const { return std::rename(from, to); }

const FileCalls& systemFileCalls()
{
    static const FileCalls system; // no state: the system's calls as they are
    return system;
}

bool holdsNul(std::string_view path)
{
    return path.find('\0') != std::string_view::npos;
}

namespace {

Failure nulFailure(const std::string& path)
{
    // Shown without the NUL and what follows it, which a message box would cut anyway.
    return Failure{"the path " + std::string(path.c_str()) + "... holds a NUL byte and names no file"};
}

// What went wrong, in the system's words: "cannot write /data/Toolbars.cfg: No space left
// on device". error is errno's value at the failure; the arguments build no string, so
// that reading errno among them sees that value.
Failure systemFailure(const char* what, const std::string& path, int error)
{
    return Failure{std::string(what) + " " + path + ": " + std::generic_category().message(error)};
}

// The file a write lands in: symbolic links are followed, also to a target that does
// not exist yet, so that replacing the file does not replace the link with a plain file.
fs::path resolvedTarget(const std::string& path)
{
    std::error_code ec;
    fs::path p(path);
    // Bounded, as the system bounds it: a loop of links ends here too.
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
        fs::path next = fs::read_symlink(p, ec);
        if (ec)
            break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p.lexically_normal();
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

Result<void> writeAndReplace(const fs::path& target, std::string_view bytes, const FileCalls&)
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
int writeAll(const FileCalls& calls, int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        long n = calls.write(fd, bytes.data() + done, bytes.size() - done);
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

void syncFolder(const FileCalls& calls, const fs::path& folder)
{
    // Makes the rename itself durable; a folder that cannot be opened for this is no
    // reason to call the save failed, the file is already in place.
    int fd = calls.open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd >= 0) {
        calls.fsync(fd);
        calls.close(fd);
    }
}

Result<void> writeAndReplace(const fs::path& target, std::string_view bytes, const FileCalls& calls)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::string temp = temporaryName(target, attempt);
        int fd = calls.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return systemFailure("cannot create", temp, errno);
        }
        // The new file takes the old one's permissions, as overwriting it would have.
        struct stat old {};
        if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
            ::fchmod(fd, old.st_mode & 07777);
        int error = writeAll(calls, fd, bytes);
        if (error == 0 && calls.fsync(fd) != 0)
            error = errno;
        if (calls.close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0) {
            calls.unlink(temp.c_str());
            return systemFailure("cannot write", temp, error);
        }
        if (calls.rename(temp.c_str(), target.c_str()) != 0) {
            error = errno;
            calls.unlink(temp.c_str());
            return systemFailure("cannot replace", target.string(), error);
        }
        syncFolder(calls, target.parent_path());
        return {};
    }
    return Failure{"no free temporary name beside " + target.string()};
}

#endif

} // namespace

#ifdef _WIN32

bool fileMayExist(const std::string& path)
{
    if (holdsNul(path))
        return true;
    std::error_code ec;
    bool exists = fs::exists(path, ec);
    return exists || ec;
}

Result<std::string> readFileBytes(const std::string& path)
{
    if (holdsNul(path))
        return nulFailure(path);
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

bool fileMayExist(const std::string& path)
{
    if (holdsNul(path))
        return true; // never created: reading it reports the fault
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

Result<std::string> readFileBytes(const std::string& path)
{
    if (holdsNul(path))
        return nulFailure(path);
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

Result<void> writeFileAtomically(const std::string& path, std::string_view bytes, const FileCalls& calls)
{
    if (holdsNul(path))
        return nulFailure(path);
    const fs::path target = resolvedTarget(path);
    // Only a regular file is ever replaced: renaming over a device, a pipe or a socket
    // (reached through a link, say) would put a plain file where the system keeps
    // something else. A missing target is made.
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    if (!ec && fs::exists(status) && !fs::is_regular_file(status))
        return Failure{target.string() + " is not a regular file; it was left as it is"};
    if (isReadOnlyFile(target.string()))
        return Failure{target.string() + " is read-only"};
    return writeAndReplace(target, bytes, calls);
}

bool isReadOnlyFile(const std::string& path)
{
    if (holdsNul(path))
        return false;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::is_regular_file(status))
        return false;
    const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & writable) == fs::perms::none;
}

Result<std::string> keepOriginal(const std::string& path)
{
    std::error_code ec;
    fs::path original = resolvedTarget(path);
    if (!fs::is_regular_file(fs::status(original, ec)) || fs::file_size(original, ec) == 0)
        return std::string();
    // The copy is made from the bytes: a second name (a hard link) for the same file would
    // change with the original when it is edited in place.
    const Result<std::string> bytes = readFileBytes(original.string());
    if (!bytes)
        return Failure{bytes.reason()};
    for (int k = 1; k < 100; ++k) {
        std::string candidate = original.string() + ".bak" + (k == 1 ? "" : std::to_string(k));
        if (fs::exists(fs::symlink_status(candidate, ec))) {
            const Result<std::string> other = readFileBytes(candidate);
            if (other && other.value() == bytes.value())
                return candidate;
            continue;
        }
        if (const Result<void> written = writeFileAtomically(candidate, bytes.value()); !written)
            return Failure{written.reason()};
        return candidate;
    }
    return Failure{"every name from " + original.string() + ".bak to .bak99 is taken"};
}

int removeStaleTemporaries(const std::string& folder, const std::string& name)
{
    // Our own names only: "." name ".tmp-" and three numbers joined by "-".
    const std::string prefix = "." + name + ".tmp-";
    const auto ours = [&](const std::string& file) {
        if (file.compare(0, prefix.size(), prefix) != 0)
            return false;
        int numbers = 0;
        bool digit = false;
        for (std::size_t i = prefix.size(); i < file.size(); ++i) {
            const char c = file[i];
            if (c >= '0' && c <= '9') {
                digit = true;
            } else if (c == '-' && digit) {
                ++numbers;
                digit = false;
            } else {
                return false;
            }
        }
        return digit && numbers == 2;
    };
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        std::error_code e;
        if (ours(p.filename().string()) && it->is_regular_file(e) && !it->is_symlink(e) && fs::remove(p, e))
            ++removed;
    }
    return removed;
}
