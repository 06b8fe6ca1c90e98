// The real shell on this machine: programs started, entries launched, documents opened
// through a stand-in default application that the test installs for itself.
#include "platform/DesktopShell.h"
#include "platform/GioLaunch.h"

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
    for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
        QFile f(out);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QByteArray all = f.readAll();
        const qsizetype a = all.indexOf('\n'), b = all.indexOf('\n', a + 1);
        Seen seen{all.left(a).toStdString(), all.mid(a + 1, b - a - 1).toLong(), {}};
        all = all.mid(b + 1);
        all.chop(1); // each argument ends in a NUL
        if (b + 1 < f.size())
            for (const QByteArray& arg : all.split('\0'))
                seen.args.push_back(arg.toStdString());
        return seen;
    }
    return std::nullopt;
}

class ShellTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(tmp.path()).filePath(name); }
    std::string at(const QString& name) const { return bytes(path(name)); }
    // What the recorder at path(name) saw, once started; the record is used up.
    std::optional<Seen> seen()
    {
        auto s = waitFor(path("out"));
        QFile::remove(path("out"));
        return s;
    }
    std::string canonical(const QString& name) const { return bytes(QFileInfo(path(name)).canonicalFilePath()); }

    QTemporaryDir tmp;
    DesktopShell shell;
};

using Args = std::vector<std::string>;

TEST_F(ShellTest, ProgramGetsExactlyTheQuotedArgumentsInItsFolderDetachedAndUnexpanded)
{
    makeRecorder(path("my prog"), path("out"));
    QDir().mkpath(path("work"));
    const Result<void> r = shell.open(
        at("my prog"), R"(plain "two words" 'single "q"' "say \"hi\"" back\ slash -n '$(touch pwned)' ; "" a$HOME)",
        at("work"));
    ASSERT_TRUE(r.ok()) << r.reason();
    const auto s = seen();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->args, (Args{"plain", "two words", "single \"q\"", "say \"hi\"", "back slash", "-n",
                             "$(touch pwned)", ";", "", "a$HOME"}));
    EXPECT_EQ(s->folder, canonical("work"));
    EXPECT_NE(s->parent, long(::getpid())); // detached: not our child
    EXPECT_FALSE(QFile::exists(path("pwned")));

    // A dropped file is one last argument, whatever it holds.
    const std::string file = "/no/such dir/a b;touch pwned $(id).txt";
    ASSERT_TRUE(shell.startWithFile(at("my prog"), "--page 2", file).ok());
    const auto d = seen();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->args, (Args{"--page", "2", file}));
}

TEST_F(ShellTest, StartsThatCannotHappenAsAskedFail)
{
    writeFile(path("plain.txt"), "not a program\n");
    writeFile(path("broken"), "#!/no/such/interpreter\n", true);
    makeRecorder(path("prog"), path("out"));
    const struct {
        std::string target, parameters, folder;
    } rows[] = {
        {at("nope"), "", ""}, {"vyrelight-no-such-program", "", ""}, {at("broken"), "", ""},
        {at("prog"), "", at("gone")}, // not run elsewhere instead
        {at("prog"), "'open", ""},    // arguments unknown
    };
    for (const auto& row : rows)
        EXPECT_FALSE(shell.open(row.target, row.parameters, row.folder).ok()) << row.target << row.parameters;
    for (const std::string& target : {at("nope"), at("plain.txt"), std::string("vyrelight-no-such-program")})
        EXPECT_FALSE(shell.startWithFile(target, "", "/f").ok()) << target;
}

TEST_F(ShellTest, ShellCharactersInTheTargetRunNothingElse)
{
    const std::string p = at("pwned");
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path())); // where a relative "touch pwned" would land
    for (const std::string& target : {std::string("true;touch pwned"), std::string("$(touch pwned)"),
                                      at("x;touch ") + p, at("$(touch ") + p + ")"})
        EXPECT_FALSE(shell.open(target, "", "").ok()) << target;
    EXPECT_FALSE(shell.startWithFile("true;touch pwned", "", "/f").ok());

    // A real program of such a name is run, and only it.
    const QString odd = "run;touch pwned\n$(touch pwned)";
    makeRecorder(path(odd), path("out"));
    ASSERT_TRUE(shell.open(at(odd), "; touch pwned", "").ok());
    const auto s = seen();
    QDir::setCurrent(cwd);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->args, (Args{";", "touch", "pwned"}));
    EXPECT_FALSE(QFile::exists(path("pwned")));
}

TEST_F(ShellTest, DesktopEntryGetsDroppedFilesAsItsFileArgumentsAndFailsWhenItsProgramIsGone)
{
    makeRecorder(path("entryprog"), path("out"));
    writeFile(path("tool.desktop"), "[Desktop Entry]\nType=Application\nName=Tool\nExec="
                                        + QFile::encodeName(path("entryprog")) + " --from-entry %F\n");
    writeFile(path("dead.desktop"), "[Desktop Entry]\nType=Application\nName=Dead\nExec=/no/such/program %f\n");
    QDir().mkpath(path("work"));
    const std::string file = at("a b;c.txt");
    ASSERT_TRUE(shell.startWithFile(at("tool.desktop"), "", file).ok());
    auto s = seen();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->args, (Args{"--from-entry", file}));
    ASSERT_TRUE(shell.open(at("tool.desktop"), "", at("work")).ok());
    s = seen();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->args, (Args{"--from-entry"}));
    EXPECT_EQ(s->folder, canonical("work"));
    EXPECT_FALSE(shell.open(at("dead.desktop"), "", "").ok());
}

TEST_F(ShellTest, CopyIntoReplacesAFileOfThatNameAndRefusesWhatItCannotDoSafely)
{
    QDir().mkpath(path("dest"));
    writeFile(path("note.txt"), "new");
    writeFile(path("dest/note.txt"), "old");
    ASSERT_TRUE(shell.copyInto(at("note.txt"), at("dest")).ok());
    ASSERT_TRUE(shell.copyInto(at("note.txt"), at("dest/")).ok());
    auto content = [&](const QString& name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    };
    EXPECT_EQ(content("dest/note.txt"), "new");
    EXPECT_EQ(QDir(path("dest")).entryList(QDir::Files | QDir::Hidden).size(), 1); // no leftovers
    const std::string here = bytes(tmp.path());
    for (auto [file, folder] : {std::pair{at("missing.txt"), at("dest")}, {at("note.txt"), at("no-folder")},
                                {at("dest"), here}, {at("note.txt"), here} /* onto itself */})
        EXPECT_FALSE(shell.copyInto(file, folder).ok()) << file << " -> " << folder;
    EXPECT_EQ(content("note.txt"), "new");
}

// GLib and GIO are loaded on first use; a system without them, or with something else
// under their names, must get launches that fail and say why, not a crash.
TEST_F(ShellTest, LaunchesFailTellingWhyWhenGlibOrGioCannotBeLoaded)
{
    struct Restore {
        ~Restore() { gio::UseLibrariesForTesting({}, {}); }
    } restore;
    makeRecorder(path("prog"), path("out"));
    writeFile(path("tool.desktop"),
              "[Desktop Entry]\nType=Application\nName=Tool\nExec=" + QFile::encodeName(path("prog")) + "\n");
    writeFile(path("notes.txt"), "hello\n");
    const struct {
        std::string glib, gio;
        bool programStarts;
        std::string why;
    } rows[] = {
        {"libvyre-no-such-glib.so.0", "", false, "GLib could not be loaded"},
        {"", "libvyre-no-such-gio.so.0", true, "GIO could not be loaded"},
        {"", "libm.so.6", true, "g_object_unref is missing"}, // a library, but not GIO
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.glib + row.gio);
        gio::UseLibrariesForTesting(row.glib, row.gio);
        const Result<void> program = shell.open(at("prog"), "", "");
        EXPECT_EQ(program.ok(), row.programStarts) << program.reason();
        if (row.programStarts)
            EXPECT_TRUE(seen());
        else
            EXPECT_NE(program.reason().find(row.why), std::string::npos) << program.reason();
        const Result<void> others[] = {shell.open(at("tool.desktop"), "", ""),
                                        shell.startWithFile(at("tool.desktop"), "", "/f"),
                                        shell.open(at("notes.txt"), "", ""), shell.openLink("https://example.org/")};
        for (const Result<void>& r : others) {
            EXPECT_FALSE(r.ok());
            EXPECT_NE(r.reason().find(row.why), std::string::npos) << r.reason();
        }
    }
    EXPECT_FALSE(QFile::exists(path("out"))); // the entry never ran
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
    for (auto [name, sub] : {std::pair{"XDG_CONFIG_HOME", "config"}, {"XDG_CONFIG_DIRS", "sysconfig"},
                             {"XDG_DATA_HOME", "data"}, {"XDG_DATA_DIRS", "sysdata"}, {"XDG_RUNTIME_DIR", "runtime"}})
        env.insert(name, dir.filePath(sub));
    env.insert(ChildMark, root.path());
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

    // Documents and folders start with their application, in the folder given.
    const std::string docs = bytes(root.filePath("docs"));
    for (auto [target, folder] : {std::pair{bytes(notes), docs}, {docs, bytes(root.path())}}) {
        const Result<void> r = shell.open(target, "ignored", folder);
        ASSERT_TRUE(r.ok()) << r.reason();
        const auto seen = waitFor(root.filePath("files-out"));
        QFile::remove(root.filePath("files-out"));
        ASSERT_TRUE(seen);
        EXPECT_EQ(seen->args, (std::vector<std::string>{target}));
        EXPECT_EQ(seen->folder, bytes(QFileInfo(QString::fromStdString(folder)).canonicalFilePath()));
    }

    // A link with a handler, and links and files without one.
    const Result<void> r = shell.openLink("vyretest:hello?x=1;y=$(id)");
    ASSERT_TRUE(r.ok()) << r.reason();
    const auto seen = waitFor(root.filePath("links-out"));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->args, (std::vector<std::string>{"vyretest:hello?x=1;y=$(id)"}));
    EXPECT_FALSE(shell.openLink("vyrenohandler:x").ok());
    EXPECT_FALSE(shell.openLink("not a link").ok());
    EXPECT_FALSE(shell.open("vyrenohandler://host/x", "", "").ok());
    const QString blob = root.filePath("docs/blob.vyrenohandler");
    writeFile(blob, QByteArray("\x00\x01\x02\x03\xff", 5));
    EXPECT_FALSE(shell.open(bytes(blob), "", "").ok());

    // Every start was detached: no child of ours is left, running or as a zombie.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

} // namespace
