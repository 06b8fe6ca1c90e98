// Where the toolbars are kept, and the lock that keeps a second launcher off them.
#include "support/TestHelpers.h"
#include "platform/DataFolder.h"
#include "platform/InstanceLock.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(DataFolder, TheProgramFolderWhenWritableElseTheUsersConfigFolderMadeOnDemand)
{
    QTemporaryDir dir;
    struct Restore {
        QByteArray config = qgetenv("XDG_CONFIG_HOME");
        ~Restore() { config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config); }
    } restore;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
    EXPECT_EQ(FindDataFolder(bytes(dir.path())).value(), bytes(dir.path()));
    // A program folder that cannot be written (as root: one that is not there).
    EXPECT_EQ(FindDataFolder(bytes(dir.filePath("gone"))).value(), bytes(dir.filePath("config/vyrelight")));
    EXPECT_TRUE(QFileInfo(dir.filePath("config/vyrelight")).isDir());
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
