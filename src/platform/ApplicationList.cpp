#include "platform/ApplicationList.h"

#include "platform/BaseDirectories.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace desktop {

namespace {

// Entries are a few kilobytes, those with every translation well below this.
constexpr std::int64_t MaxEntryFile = 1 << 20;
// More entries than any system installs; the rest are not read.
constexpr int MaxEntries = 20000;

std::vector<std::string> split(const std::string& s, char at)
{
    std::vector<std::string> out;
    std::size_t from = 0;
    while (from <= s.size()) {
        std::size_t to = s.find(at, from);
        if (to == std::string::npos)
            to = s.size();
        if (to > from)
            out.push_back(s.substr(from, to - from));
        from = to + 1;
    }
    return out;
}

bool isTrue(const std::vector<Group>& groups, const char* key)
{
    const std::string* v = value(groups, "Desktop Entry", key);
    return v && *v == "true";
}

bool anyIn(const std::vector<std::string>& wanted, const std::vector<std::string>& list)
{
    for (const std::string& w : wanted)
        if (std::find(list.begin(), list.end(), w) != list.end())
            return true;
    return false;
}

bool runnable(const std::string& program, const std::vector<std::string>& path)
{
    if (program.empty())
        return false;
    if (program.find('/') != std::string::npos)
        return ::access(program.c_str(), X_OK) == 0;
    for (const std::string& folder : path)
        if (::access((folder + '/' + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

// The bytes of a regular file of sane size; nothing for anything else. Opened without
// waiting, so a pipe put in an entry's place never blocks.
bool readEntry(const std::string& path, std::string& out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st{};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxEntryFile;
    if (ok) {
        out.resize(std::size_t(st.st_size));
        std::size_t got = 0;
        while (got < out.size()) {
            const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += std::size_t(n);
        }
        out.resize(got);
    }
    ::close(fd);
    return ok;
}

} // namespace

Environment Environment::current()
{
    Environment env;
    // Relative folders are no base directories: they are left out, as the rules ask.
    std::string home = environmentValue("XDG_DATA_HOME");
    if (home.empty() || home.front() != '/')
        home = environmentValue("HOME") + "/.local/share";
    env.folders.push_back(home + "/applications");
    std::string dirs = environmentValue("XDG_DATA_DIRS");
    if (dirs.empty())
        dirs = "/usr/local/share/:/usr/share/";
    for (std::string d : split(dirs, ':'))
        if (d.front() == '/') {
            while (d.size() > 1 && d.back() == '/')
                d.pop_back();
            env.folders.push_back(d + "/applications");
        }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string v = environmentValue(name);
        if (!v.empty()) {
            env.locale = desktop::locale(v);
            break;
        }
    }
    env.desktops = split(environmentValue("XDG_CURRENT_DESKTOP"), ':');
    env.path = split(environmentValue("PATH"), ':');
    return env;
}

Reading readApplication(std::string_view text, const Environment& environment)
{
    Reading r;
    const std::vector<Group> groups = parse(text, Translations::Keep);
    const std::string* type = value(groups, "Desktop Entry", "Type");
    const std::string* name = value(groups, "Desktop Entry", "Name");
    const std::string* exec = value(groups, "Desktop Entry", "Exec");
    // Links and folders are no applications; an application needs a name, and a command
    // unless the session bus starts it.
    if (!type || *type != "Application" || !name || name->empty())
        return r;
    if ((!exec || exec->empty()) && !isTrue(groups, "DBusActivatable"))
        return r;
    Application& a = r.application;
    const Locale& l = environment.locale;
    a.name = *localized(groups, "Desktop Entry", "Name", l);
    if (a.name.empty())
        a.name = *name;
    if (const std::string* v = localized(groups, "Desktop Entry", "GenericName", l))
        a.genericName = *v;
    if (const std::string* v = localized(groups, "Desktop Entry", "Comment", l))
        a.comment = *v;
    if (const std::string* v = localized(groups, "Desktop Entry", "Keywords", l))
        a.keywords = list(*v);
    if (const std::string* v = value(groups, "Desktop Entry", "Icon"))
        a.icon = *v;
    if (exec)
        a.exec = *exec;

    r.verdict = Verdict::Offered;
    const std::string* only = value(groups, "Desktop Entry", "OnlyShowIn");
    const std::string* not_ = value(groups, "Desktop Entry", "NotShowIn");
    const std::string* tryExec = value(groups, "Desktop Entry", "TryExec");
    if (isTrue(groups, "Hidden") || isTrue(groups, "NoDisplay") || (only && !anyIn(environment.desktops, list(*only)))
        || (not_ && anyIn(environment.desktops, list(*not_))) || (tryExec && !runnable(*tryExec, environment.path)))
        r.verdict = Verdict::Hidden;
    return r;
}

bool ApplicationList::refresh(const Environment& environment)
{
    // Another language or desktop reads every entry anew.
    std::string key = environment.locale.lang + '_' + environment.locale.country + '@' + environment.locale.modifier;
    for (const std::string& d : environment.desktops)
        key += ':' + d;
    for (const std::string& p : environment.path)
        key += '\n' + p;
    for (const std::string& f : environment.folders)
        key += '\t' + f;
    if (key != m_environmentKey) {
        m_seen.clear();
        m_environmentKey = std::move(key);
    }

    std::map<std::string, Seen> seen;
    std::map<std::string, bool> taken; // desktop-file IDs already decided
    std::vector<std::string> order;
    bool reread = false;
    int visited = 0;
    std::string text;
    for (const std::string& folder : environment.folders) {
        std::error_code error;
        namespace fs = std::filesystem;
        fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
        for (; !error && it != fs::recursive_directory_iterator() && visited < MaxEntries; it.increment(error)) {
            const fs::path& p = it->path();
            if (p.extension() != ".desktop")
                continue;
            ++visited;
            std::string id = p.lexically_relative(folder).generic_string();
            std::replace(id.begin(), id.end(), '/', '-');
            if (taken.count(id))
                continue;
            const std::string file = p.string();
            struct stat st{};
            if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                continue;
            Seen s;
            s.device = st.st_dev;
            s.inode = st.st_ino;
            s.size = st.st_size;
            s.modified = std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
            s.changed = std::int64_t(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
            const auto known = m_seen.find(file);
            if (known != m_seen.end() && known->second == s) {
                s.reading = known->second.reading;
            } else {
                reread = true;
                text.clear();
                if (readEntry(file, text))
                    s.reading = readApplication(text, environment);
                s.reading.application.id = id;
                s.reading.application.file = file;
            }
            // A broken entry leaves its ID to a copy in a later folder; a hidden one keeps it.
            if (s.reading.verdict == Verdict::Invalid) {
                seen[file] = std::move(s);
                continue;
            }
            taken[id] = true;
            order.push_back(file);
            seen[file] = std::move(s);
        }
    }
    const bool changed = reread || order != m_order;
    m_seen = std::move(seen);
    m_order = std::move(order);
    if (changed) {
        m_applications.clear();
        for (const std::string& file : m_order) {
            const Reading& r = m_seen[file].reading;
            if (r.verdict == Verdict::Offered)
                m_applications.push_back(r.application);
        }
    }
    return changed;
}

} // namespace desktop
