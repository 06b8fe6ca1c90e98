// The choices a start makes from its surroundings: the data folder, the window system,
// the autostart entry, and the lock and channel that keep to one launcher per data folder.
#include "support/TestHelpers.h"
#include "platform/Autostart.h"
#include "support/Descriptors.h"
#include "platform/BaseDirectories.h"
#include "platform/DataFolder.h"
#include "platform/DisplayChoice.h"
#include "platform/InstanceChannel.h"
#include "platform/InstanceLock.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

TEST(DataFolder, ChoiceByRequestInstallationAndProgramFolder)
{
    // Facts: requested, program folder, installed, holds its files, writable, XDG, home, current folder.
    const struct { const char* what; DataFolderFacts facts; std::string expected; } rows[] = {
        {"requested absolute", {"/d/x/../y", "/bin", true, true, true, "/c", "/h", "/cwd"}, "/d/y"},
        {"requested relative", {"tb", "/bin", false, false, false, "", "/h", "/cwd"}, "/cwd/tb"},
        // Installed: never the program folder, even when it is writable (as for root).
        {"installed", {"", "/bin", true, true, true, "/c", "/h", "/cwd"}, "/c/vyrelight"},
        {"installed, no XDG", {"", "/bin", true, false, true, "", "/h", "/cwd"}, "/h/.config/vyrelight"},
        {"installed, relative XDG ignored", {"", "/bin", true, false, false, "rel", "/h", "/cwd"}, "/h/.config/vyrelight"},
        {"build folder, writable", {"", "/bin", false, false, true, "/c", "/h", "/cwd"}, "/bin"},
        {"build folder, holds its files", {"", "/bin", false, true, false, "/c", "/h", "/cwd"}, "/bin"},
        {"build folder, read-only", {"", "/bin", false, false, false, "/c", "/h", "/cwd"}, "/c/vyrelight"},
        {"no home at all", {"", "/bin", true, false, false, "", "", "/cwd"}, ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(chooseDataFolder(r.facts), r.expected) << r.what;
}

// Relative base folders are ignored, as the base directory rules say, so nothing lands
// under whatever folder the launcher was started in.
TEST(DataFolder, RelativeBaseFoldersAndARelativeHomeAreIgnored)
{
    const EnvGuard guard{"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR",
                         "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"};
    for (const auto& [name, value] : {std::pair("HOME", "home"), {"XDG_CONFIG_HOME", "config"}, {"XDG_CACHE_HOME", "/abs/cache"},
                                      {"XDG_DATA_HOME", "./data"}, {"XDG_RUNTIME_DIR", "run"}, {"XDG_CONFIG_DIRS", "etc"},
                                      {"XDG_DATA_DIRS", "share:/usr/share::rel/x:/opt/share"}})
        qputenv(name, value);
    ignoreRelativeBaseDirectories();
    const QByteArray home = qgetenv("HOME");
    EXPECT_TRUE(home.isEmpty() || home.startsWith('/')) << home.toStdString();
    for (const char* gone : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_DIRS"})
        EXPECT_FALSE(qEnvironmentVariableIsSet(gone)) << gone;
    EXPECT_EQ(qgetenv("XDG_CACHE_HOME") + " " + qgetenv("XDG_DATA_DIRS"), "/abs/cache /usr/share:/opt/share");
}

// Found from where the program lies, made on demand, and never over a file.
TEST(DataFolder, AnInstalledProgramKeepsItsFilesInTheConfigFolderNeverBesideItself)
{
    QTemporaryDir dir;
    const EnvGuard guard{"XDG_CONFIG_HOME"};
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/bin")));
    writeFile(dir.filePath("usr/share/applications/vyrelight.desktop"), "[Desktop Entry]\n");
    EXPECT_EQ(findDataFolder(bytes(dir.filePath("usr/bin"))).value(), bytes(dir.filePath("config/vyrelight")));
    EXPECT_TRUE(QFileInfo(dir.filePath("config/vyrelight")).isDir());
    // Without its share files beside it, the same folder is a build folder; one that cannot
    // be written (as root: one that is not there) leaves the files to the config folder.
    EXPECT_EQ(findDataFolder(bytes(dir.filePath("config"))).value(), bytes(dir.filePath("config")));
    EXPECT_EQ(findDataFolder(bytes(dir.filePath("gone"))).value(), bytes(dir.filePath("config/vyrelight")));

    writeFile(dir.filePath("file"), "keep me");
    const Result<std::string> file = findDataFolder(bytes(dir.path()), bytes(dir.filePath("file")));
    EXPECT_NE(file.reason().find("because it is a file, not a folder."), std::string::npos) << file.reason();
    EXPECT_FALSE(findDataFolder(bytes(dir.path()), bytes(dir.filePath("file/sub"))).ok()); // nothing under a file
    EXPECT_EQ(readFile(dir.filePath("file")), "keep me");
}

TEST(DisplayChoice, WaylandSessionsRunOnXWaylandUnlessTheUserChose)
{
    const struct { DisplayFacts facts; DisplayPlan plan; } rows[] = {
        {{":0", "", "x11", "", false}, DisplayPlan::AsIs},
        {{":0", "wayland-0", "wayland", "", false}, DisplayPlan::ForceXcb},
        {{":0", "wayland-0", "", "", false}, DisplayPlan::ForceXcb},
        {{":0", "", "wayland", "", false}, DisplayPlan::ForceXcb},
        {{"", "wayland-0", "wayland", "", false}, DisplayPlan::NoXServer},
        {{"", "", "tty", "", false}, DisplayPlan::NoDisplay},
        // The user's own choice stands, in the environment or on the command line.
        {{"", "wayland-0", "wayland", "wayland", false}, DisplayPlan::AsIs},
        {{"", "wayland-0", "wayland", "", true}, DisplayPlan::AsIs},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(planDisplay(rows[i].facts), rows[i].plan) << "row " << i;
    // A local server without a socket does not answer; a remote one is trusted.
    EXPECT_FALSE(XServerAnswers(":98765"));
    EXPECT_TRUE(XServerAnswers("remote.example:0"));
}

TEST(Autostart, ExecArgumentsAreQuotedAndEscapedByTheEntryRules)
{
    const std::vector<std::pair<std::string, std::string>> rows{
        {"/usr/bin/vyrelight", "/usr/bin/vyrelight"},
        {"/home/a b/tb", "\"/home/a b/tb\""},
        {"100%", "100%%"},
        {"a\"b", "\"a\\\\\"b\""},   // \" inside quotes, the backslash doubled again
        {"$HOME", "\"\\\\$HOME\""},
        {"", "\"\""},
        // A line break or tab is escaped, never written raw: it would end the Exec line.
        {"/a\nHidden=true", "\"/a\\nHidden=true\""},
        {"/a\tb\rc", "\"/a\\tb\\rc\""},
    };
    for (const auto& [arg, exec] : rows)
        EXPECT_EQ(execArgument(arg), exec) << arg;
    // What an entry has no way to hold is refused.
    EXPECT_EQ(entryCannotHold({"/usr/bin/vyrelight", "--data-dir", "/home/a\nb\tc"}), std::nullopt);
    EXPECT_NE(entryCannotHold({"/usr/bin/vyrelight", "--data-dir", "/home/caf\xe9"}), std::nullopt);
    EXPECT_NE(entryCannotHold({"/usr/bin/vyrelight", "--data-dir", "/home/a\x1b"}), std::nullopt);
    EXPECT_EQ(autostartFolder("/c", "/h"), "/c/autostart");
    EXPECT_EQ(autostartFolder("relative", "/h"), "/h/.config/autostart");
    EXPECT_EQ(autostartFolder("", ""), "");
}

// On writes the entry, off removes it, and a file in the way changes nothing; off hides a
// system-wide entry it cannot remove, and on again puts the user's own in its place.
TEST(Autostart, OnWritesTheEntryOffRemovesOrHidesItAFileInTheWayChangesNothing)
{
    QTemporaryDir dir;
    const std::string folder = bytes(dir.filePath("autostart"));
    const Result<std::string> on = setAutostart(folder, true, {"/opt/vyre light/vyrelight"});
    ASSERT_TRUE(on.ok()) << on.reason();
    const QByteArray entry = readFile(dir.filePath("autostart/vyrelight.desktop"));
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/vyre light/vyrelight\"\n")) << entry.toStdString();

    EXPECT_NE(setAutostart(folder, false, {}).value().find("removed"), std::string::npos);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("autostart/vyrelight.desktop")));
    EXPECT_NE(setAutostart(folder, false, {}).value().find("was not set"), std::string::npos);

    writeFile(dir.filePath("plain"), "keep me");
    EXPECT_FALSE(setAutostart(bytes(dir.filePath("plain")), true, {"x"}).ok());
    EXPECT_FALSE(setAutostart(bytes(dir.filePath("plain")), false, {"x"}).ok());
    EXPECT_EQ(readFile(dir.filePath("plain")), "keep me");

    ASSERT_TRUE(QDir().mkpath(dir.filePath("xdg/autostart")));
    writeFile(dir.filePath("xdg/autostart/vyrelight.desktop"), "[Desktop Entry]\n");
    const std::vector<std::string> system = systemAutostartFolders("relative:" + bytes(dir.filePath("xdg")));
    ASSERT_EQ(system, std::vector<std::string>{bytes(dir.filePath("xdg/autostart"))});

    const Result<std::string> off = setAutostart(folder, false, {"/bin/vyrelight"}, system);
    ASSERT_TRUE(off.ok()) << off.reason();
    EXPECT_TRUE(readFile(dir.filePath("autostart/vyrelight.desktop")).contains("\nHidden=true\n"));
    EXPECT_EQ(readFile(dir.filePath("xdg/autostart/vyrelight.desktop")), "[Desktop Entry]\n");
    ASSERT_TRUE(setAutostart(folder, true, {"/bin/vyrelight"}, system).ok());
    EXPECT_FALSE(readFile(dir.filePath("autostart/vyrelight.desktop")).contains("Hidden"));
}

// A launcher's channel in a folder of the test's own, and what a second start gets from it.
class InstanceChannel : public ::testing::Test {
protected:
    // The server of data folder `data`, listening; null when it could not.
    InstanceServer* listen(const std::string& data, InstanceServer::Limits limits = {})
    {
        path = channelPath(bytes(dir.path()), data);
        Result<std::unique_ptr<InstanceServer>> listening = InstanceServer::listen(path, limits);
        EXPECT_TRUE(listening.ok()) << listening.reason();
        if (!listening.ok())
            return nullptr;
        server = std::move(listening.value());
        forward.emplace(server.get(), &InstanceServer::comeForward);
        return server.get();
    }
    // Whether a second start, blocking on its own thread, is answered and heard once.
    bool comesForward()
    {
        const qsizetype heard = forward->count() + 1;
        auto asked = std::async(std::launch::async, [this] { return askToComeForward(path, 5000).ok(); });
        return QTest::qWaitFor([&] { return forward->count() == heard; }, 5000) && asked.get();
    }

    QTemporaryDir dir;
    std::string path;
    std::unique_ptr<InstanceServer> server;
    std::optional<QSignalSpy> forward;
};

TEST_F(InstanceChannel, TheSocketsFolderIsTheUsersOwnAndNobodyCanTakeItFirst)
{
    const auto folder = [this](const char* name, QFileDevice::Permissions mode) {
        EXPECT_TRUE(QDir().mkpath(dir.filePath(name)));
        QFile::setPermissions(dir.filePath(name), mode);
        return bytes(dir.filePath(name));
    };
    const auto rwx = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const auto groupRwx = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup;
    const std::string own = folder("own", rwx);
    const std::string groupWritable = folder("group", rwx | groupRwx); // 0770
    writeFile(dir.filePath("file"), "x");
    const std::string cache = bytes(dir.filePath("cache"));
    const std::string fallback = cache + "/vyrelight";

    // Expected: empty for no channel.
    const struct { const char* what; std::string runtime, cacheHome, home, expected; } rows[] = {
        {"the session's own folder", own, cache, "/h", own},
        {"unset: the cache folder, never /tmp", "", cache, "/h", fallback},
        {"set but missing", bytes(dir.filePath("missing")), cache, "/h", fallback},
        {"a file", bytes(dir.filePath("file")), cache, "/h", fallback},
        {"writable by the group", groupWritable, cache, "/h", fallback},
        {"relative", "run", cache, "/h", fallback},
        {"unset, cache under the home", "", "", bytes(dir.filePath("home")),
         bytes(dir.filePath("home/.cache/vyrelight"))},
        {"relative cache and home are ignored", "", "cache", "home", ""},
        {"a cache folder others can write is refused too", "", groupWritable, "/h", ""},
    };
    // The fallback's own folder in a shared cache folder would be taken by whoever made it.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("group/vyrelight")));
    QFile::setPermissions(dir.filePath("group/vyrelight"), rwx | groupRwx);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const RuntimeFolderChoice choice = chooseRuntimeFolder(r.runtime, r.cacheHome, r.home);
        EXPECT_EQ(choice.folder, r.expected) << choice.note;
        // The log hears of every folder passed over, and of a start without a channel.
        EXPECT_EQ(choice.note.empty(), !r.expected.empty() && (r.runtime.empty() || r.runtime == own))
            << choice.note;
    }
    // What the fallback made is the user's alone.
    EXPECT_EQ(QFileInfo(QString::fromLocal8Bit(fallback)).permissions() & 0x0077, QFileDevice::Permissions());
    EXPECT_FALSE(privateFolder(groupWritable, "x").ok());
    // Another user's folder: the root folder is root's, and that is nobody else's.
    EXPECT_TRUE(::getuid() == 0 || !privateFolder("/", "x").ok());
}

// A socket connected to the channel at path, or (bind) bound there as a crash leaves it.
int socketAt(const std::string& path, bool bind = false)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    const auto* a = reinterpret_cast<sockaddr*>(&addr);
    EXPECT_EQ(bind ? ::bind(fd, a, sizeof addr) : ::connect(fd, a, sizeof addr), 0);
    return fd;
}

// Commands travel as counted words of any bytes, and an answer longer than one write
// arrives whole.
TEST_F(InstanceChannel, CommandsAreAnsweredWholeWhateverTheirBytesOrPieces)
{
    ASSERT_TRUE(listen("/commands"));
    std::vector<std::vector<std::string>> heard;
    server->setCommandHandler([&heard](const std::vector<std::string>& words) {
        heard.push_back(words);
        return std::vector<std::string>{"0", std::string(300000, 'x'), ""};
    });
    const std::vector<std::string> request{"press", std::string("a b/\0\xff:", 7), "2"};
    auto asked = std::async(std::launch::async, [&] { return askLauncher(path, request, 5000); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000));
    const auto answer = asked.get();
    ASSERT_TRUE(answer.ok()) << answer.reason();
    EXPECT_EQ(answer.value().at(1).size(), 300000u); // more than one write's worth
    EXPECT_EQ(heard, std::vector<std::vector<std::string>>{request});

}

// A second start is answered, and a stale socket never blocks it. Connections that never
// ask: a few are held, each only for a while, and a request still gets through them.
// Out of descriptors, a waiting connection would wake the loop again and again: the
// spare descriptor lets it be taken and hung up on, and the server serves again once
// descriptors are free.
TEST_F(InstanceChannel, ASecondStartIsAnsweredWhateverStaleSocketsSilentPeersOrALackOfDescriptors)
{
    const std::string stale = channelPath(bytes(dir.path()), "/some/data");
    EXPECT_NE(stale, channelPath(bytes(dir.path()), "/other/data"));
    EXPECT_FALSE(askToComeForward(stale, 100).ok()); // nobody there
    ::close(socketAt(stale, true)); // what a crash leaves: a bound socket nobody listens on
    EXPECT_FALSE(askToComeForward(stale, 100).ok());

    const InstanceServer::Limits limits{.maxPeers = 4, .idleMs = 200, .pauseMs = 50};
    ASSERT_TRUE(listen("/some/data", limits));
    std::vector<int> silent;
    for (int i = 0; i < 12; ++i)
        silent.push_back(socketAt(path));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server->peerCount() == limits.maxPeers; }, 5000));
    QTest::qWait(50);
    EXPECT_LE(server->peerCount(), limits.maxPeers);
    EXPECT_TRUE(comesForward());
    // Nobody who stays silent is kept beyond the idle time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return server->peerCount() == 0; }, 5000)) << server->peerCount();
    for (const int fd : silent)
        ::close(fd);

    const int waiting = socketAt(path);

    AllDescriptorsTaken flood;
    ASSERT_TRUE(flood.taken());
    pollfd p{waiting, POLLIN, 0};
    const bool hungUp = QTest::qWaitFor([&] { return ::poll(&p, 1, 0) == 1; }, 5000);
    flood.giveBack();
    char c;
    EXPECT_TRUE(hungUp && ::read(waiting, &c, 1) == 0);
    ::close(waiting);
    EXPECT_TRUE(comesForward());
    server.reset();
    EXPECT_FALSE(QFileInfo::exists(QString::fromLocal8Bit(path)));
    EXPECT_FALSE(askToComeForward(path, 100).ok());
    // Something else in the socket's place is kept.
    writeFile(QString::fromLocal8Bit(path), "not a socket");
    EXPECT_FALSE(InstanceServer::listen(path).ok());
    EXPECT_EQ(readFile(QString::fromLocal8Bit(path)), "not a socket");
}

// fcntl locks belong to a process, so the second launcher is this test run again in a
// child, which reports what it got.
constexpr const char* ProbeMark = "VYRE_LOCK_PROBE";

TEST(InstanceLock, OneLauncherPerDataFolderUntilTheFirstIsGone)
{
    if (const QString folder = qEnvironmentVariable(ProbeMark); !folder.isEmpty()) {
        const InstanceLock lock(bytes(folder));
        std::printf("lock:%d%d\n", lock.acquired(), lock.heldByOther());
        return;
    }
    // "acquired, held by another" as a second launcher on folder sees them.
    const auto second = [](const QString& folder) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(ProbeMark, folder);
        const QByteArray out = runThisTestInChild(env);
        return out.mid(out.indexOf("lock:") + 5, 2).toStdString();
    };
    QTemporaryDir dir;
    {
        const InstanceLock first(bytes(dir.path()));
        ASSERT_TRUE(first.acquired());
        EXPECT_EQ(second(dir.path()), "01");
    }
    EXPECT_EQ(second(dir.path()), "10"); // gone with the first
    EXPECT_EQ(second(dir.filePath("gone")), "00"); // no lock file: nobody else's
}

} // namespace
