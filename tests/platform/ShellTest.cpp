// The real shell on this machine: programs started, entries launched, documents opened
// through a stand-in default application that the test installs for itself.
#include "platform/DesktopShell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string bytes(const QString& s) { return s.toLocal8Bit().toStdString(); }

// What a recording program saw: its folder, its parent and its arguments.
struct Seen {
    std::string folder;
    long parent{0};
    std::vector<std::string> args;
};

void writeFile(const QString& path, const QByteArray& content, bool executable = false)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(content);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ReadOwner);
}

// Writes a script at path that records what it was started with into out, complete
// or not at all (written aside, then renamed).
void makeRecorder(const QString& path, const QString& out)
{
    const QByteArray o = QFile::encodeName(out);
    writeFile(path,
              "#!/bin/sh\n{ pwd -P; echo \"$PPID\"; printf '%s\\0' \"$@\"; } > '" + o + ".part' && mv '" + o
                  + ".part' '" + o + "'\n",
              true);
}

// Waits for the recording, a few seconds at most: the program runs on its own.
std::optional<Seen> waitFor(const QString& out)
{
    for (int i = 0; i < 500; ++i) {
        QFile f(out);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray all = f.readAll();
            Seen seen;
            const qsizetype first = all.indexOf('\n');
            const qsizetype second = all.indexOf('\n', first + 1);
            seen.folder = all.left(first).toStdString();
            seen.parent = all.mid(first + 1, second - first - 1).toLong();
            QByteArray rest = all.mid(second + 1);
            while (!rest.isEmpty()) {
                const qsizetype nul = rest.indexOf('\0');
                seen.args.push_back(rest.left(nul).toStdString());
                rest = rest.mid(nul + 1);
            }
            return seen;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

class ShellTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(tmp.path()).filePath(name); }

    QTemporaryDir tmp;
    DesktopShell shell;
};

TEST_F(ShellTest, ProgramReceivesExactlyTheQuotedArgumentsInItsFolder)
{
    const QString prog = path("my prog");
    makeRecorder(prog, path("out"));
    QDir().mkpath(path("work"));

    const Shell::Result r = shell.open(
        bytes(prog),
        R"(plain "two words" 'single "q"' "say \"hi\"" back\ slash -n '$(touch pwned)' ; "" a$HOME)",
        bytes(path("work")));
    ASSERT_TRUE(r.ok) << r.error.toStdString();

    const auto seen = waitFor(path("out"));
    ASSERT_TRUE(seen);
    const std::vector<std::string> expected = {"plain", "two words", "single \"q\"", "say \"hi\"",
                                               "back slash", "-n", "$(touch pwned)", ";", "", "a$HOME"};
    EXPECT_EQ(seen->args, expected);
    EXPECT_EQ(seen->folder, bytes(QFileInfo(path("work")).canonicalFilePath()));
    EXPECT_NE(seen->parent, long(::getpid())); // detached: not our child
    EXPECT_FALSE(QFile::exists(path("pwned")));
}

TEST_F(ShellTest, DroppedFileIsOneLastArgument)
{
    const QString prog = path("viewer");
    makeRecorder(prog, path("out"));
    const std::string file = "/no/such dir/a b;touch pwned $(id).txt";

    const Shell::Result r = shell.startWithFile(bytes(prog), "--page 2", file);
    ASSERT_TRUE(r.ok) << r.error.toStdString();

    const auto seen = waitFor(path("out"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{"--page", "2", file}));
}

TEST_F(ShellTest, MissingOrUnstartableProgramFails)
{
    writeFile(path("plain.txt"), "not a program\n");
    writeFile(path("broken"), "#!/no/such/interpreter\n", true);
    EXPECT_FALSE(shell.open(bytes(path("nope")), "", "").ok);
    EXPECT_FALSE(shell.open("vyrelight-no-such-program", "", "").ok);
    EXPECT_FALSE(shell.open(bytes(path("broken")), "", "").ok);
    EXPECT_FALSE(shell.startWithFile(bytes(path("nope")), "", "/f").ok);
    EXPECT_FALSE(shell.startWithFile(bytes(path("plain.txt")), "", "/f").ok);
    EXPECT_FALSE(shell.startWithFile("vyrelight-no-such-program", "", "/f").ok);
    // A working folder that does not exist fails the start instead of running elsewhere.
    makeRecorder(path("prog"), path("out"));
    EXPECT_FALSE(shell.open(bytes(path("prog")), "", bytes(path("gone"))).ok);
    // A quote left open leaves the arguments unknown.
    EXPECT_FALSE(shell.open(bytes(path("prog")), "'open", "").ok);
}

TEST_F(ShellTest, ShellCharactersInTheTargetRunNothingElse)
{
    const QString pwned = path("pwned");
    const std::string p = bytes(pwned);
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path())); // where a relative "touch pwned" would land

    EXPECT_FALSE(shell.open("true;touch pwned", "", "").ok);
    EXPECT_FALSE(shell.open("$(touch pwned)", "", "").ok);
    EXPECT_FALSE(shell.open(bytes(path("x;touch ")) + p, "", "").ok);
    EXPECT_FALSE(shell.open(bytes(path("$(touch ")) + p + ")", "", "").ok);
    EXPECT_FALSE(shell.startWithFile("true;touch pwned", "", "/f").ok);

    // A real program of such a name is run, and only it.
    const QString odd = path("run;touch pwned\n$(touch pwned)");
    makeRecorder(odd, path("out"));
    ASSERT_TRUE(shell.open(bytes(odd), "; touch pwned", "").ok);
    const auto seen = waitFor(path("out"));
    QDir::setCurrent(cwd);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{";", "touch", "pwned"}));
    EXPECT_FALSE(QFile::exists(pwned));
}

TEST_F(ShellTest, DesktopEntryGetsDroppedFilesAsItsFileArguments)
{
    makeRecorder(path("entryprog"), path("out"));
    writeFile(path("tool.desktop"), "[Desktop Entry]\nType=Application\nName=Tool\nExec="
                                        + QFile::encodeName(path("entryprog")) + " --from-entry %F\n");
    QDir().mkpath(path("work"));

    const std::string file = bytes(path("a b;c.txt"));
    ASSERT_TRUE(shell.startWithFile(bytes(path("tool.desktop")), "", file).ok);
    auto seen = waitFor(path("out"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{"--from-entry", file}));

    QFile::remove(path("out"));
    ASSERT_TRUE(shell.open(bytes(path("tool.desktop")), "", bytes(path("work"))).ok);
    seen = waitFor(path("out"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{"--from-entry"}));
    EXPECT_EQ(seen->folder, bytes(QFileInfo(path("work")).canonicalFilePath()));

    writeFile(path("dead.desktop"),
              "[Desktop Entry]\nType=Application\nName=Dead\nExec=/no/such/program %f\n");
    EXPECT_FALSE(shell.open(bytes(path("dead.desktop")), "", "").ok);
}

TEST_F(ShellTest, CopyIntoReplacesAFileOfThatNameAndReportsFailures)
{
    QDir().mkpath(path("dest"));
    writeFile(path("note.txt"), "new");
    writeFile(path("dest/note.txt"), "old");

    ASSERT_TRUE(shell.copyInto(bytes(path("note.txt")), bytes(path("dest"))).ok);
    ASSERT_TRUE(shell.copyInto(bytes(path("note.txt")), bytes(path("dest/"))).ok);
    QFile copied(path("dest/note.txt"));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), "new");
    EXPECT_EQ(QDir(path("dest")).entryList(QDir::Files | QDir::Hidden).size(), 1); // no leftovers

    EXPECT_FALSE(shell.copyInto(bytes(path("missing.txt")), bytes(path("dest"))).ok);
    EXPECT_FALSE(shell.copyInto(bytes(path("note.txt")), bytes(path("no-folder"))).ok);
    EXPECT_FALSE(shell.copyInto(bytes(path("dest")), bytes(tmp.path())).ok); // a folder is no file
    // Onto itself: refused, and the file keeps its content.
    EXPECT_FALSE(shell.copyInto(bytes(path("note.txt")), bytes(tmp.path())).ok);
    QFile self(path("note.txt"));
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    EXPECT_EQ(self.readAll(), "new");
}

// GIO reads the XDG folders once per process and keeps them, so the default-handler
// tests run again in a fresh process of this program whose environment points at a
// desktop made up here: a mime database (the system's), two stand-in applications
// and nothing else.
constexpr const char* ChildMark = "VYRE_SHELLTEST_DESKTOP";

void runOnMadeUpDesktop()
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    QDir dir(root.path());
    for (const char* sub : {"config", "sysconfig", "data/applications", "sysdata", "docs", "runtime"})
        ASSERT_TRUE(dir.mkpath(sub));
    ASSERT_TRUE(QFile::link("/usr/share/mime", dir.filePath("sysdata/mime")));

    makeRecorder(dir.filePath("files-handler"), dir.filePath("files-out"));
    makeRecorder(dir.filePath("links-handler"), dir.filePath("links-out"));
    writeFile(dir.filePath("data/applications/vyre-files.desktop"),
              "[Desktop Entry]\nType=Application\nName=Files\nMimeType=text/plain;inode/directory;\nExec="
                  + QFile::encodeName(dir.filePath("files-handler")) + " %F\n");
    writeFile(dir.filePath("data/applications/vyre-links.desktop"),
              "[Desktop Entry]\nType=Application\nName=Links\nMimeType=x-scheme-handler/vyretest;\nExec="
                  + QFile::encodeName(dir.filePath("links-handler")) + " %U\n");
    writeFile(dir.filePath("config/mimeapps.list"),
              "[Default Applications]\ntext/plain=vyre-files.desktop\ninode/directory=vyre-files.desktop\n"
              "x-scheme-handler/vyretest=vyre-links.desktop\n");

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ChildMark, root.path());
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_CONFIG_DIRS", dir.filePath("sysconfig"));
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    env.insert("XDG_DATA_DIRS", dir.filePath("sysdata"));
    env.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
    env.insert("XDG_CURRENT_DESKTOP", "X-Vyrelight-Test");
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    env.remove("DISPLAY");

    const ::testing::TestInfo* me = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QString("--gtest_filter=%1.%2").arg(me->test_suite_name(), me->name())});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString(); // it ran
}

TEST(ShellDefaultHandlerTest, DocumentsFoldersAndLinksOpenOnlyWithAnApplicationForThem)
{
    const QString rootPath = qEnvironmentVariable(ChildMark);
    if (rootPath.isEmpty()) {
        runOnMadeUpDesktop();
        return;
    }
    QDir root(rootPath);
    DesktopShell shell;
    const QString notes = root.filePath("docs/notes.txt");
    writeFile(notes, "hello\n");

    // A text file: started with its application, in the folder it was given.
    Shell::Result r = shell.open(bytes(notes), "ignored", bytes(root.filePath("docs")));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    auto seen = waitFor(root.filePath("files-out"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{bytes(notes)}));
    EXPECT_EQ(seen->folder, bytes(QFileInfo(root.filePath("docs")).canonicalFilePath()));

    // A folder.
    QFile::remove(root.filePath("files-out"));
    r = shell.open(bytes(root.filePath("docs")), "", bytes(root.path()));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    seen = waitFor(root.filePath("files-out"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{bytes(root.filePath("docs"))}));

    // A link with a handler, and links and files without one.
    r = shell.openLink("vyretest:hello?x=1;y=$(id)");
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    seen = waitFor(root.filePath("links-out"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{"vyretest:hello?x=1;y=$(id)"}));
    EXPECT_FALSE(shell.openLink("vyrenohandler:x").ok);
    EXPECT_FALSE(shell.openLink("not a link").ok);
    EXPECT_FALSE(shell.open("vyrenohandler://host/x", "", "").ok);

    const QString blob = root.filePath("docs/blob.vyrenohandler");
    writeFile(blob, QByteArray("\x00\x01\x02\x03\xff", 5));
    EXPECT_FALSE(shell.open(bytes(blob), "", "").ok);

    // Every start was detached: no child of ours is left, running or as a zombie.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

} // namespace
