// The real shell on this machine: programs started, entries launched, documents opened
// through a stand-in default application that the test installs for itself.
#include "support/TestHelpers.h"
#include "platform/ArgSplit.h"
#include "platform/DesktopShell.h"
#include "platform/GioLaunch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using Args = std::vector<std::string>;

TEST(ArgSplit, QuotesAndEscapesFollowTheShellWithoutExpanding)
{
    const struct { const char* line; Args args; } rows[] = {
        {"", {}}, {"  \t ", {}}, {"a  b\tc\nd", {"a", "b", "c", "d"}},
        {"\"two words\" 'single \"q\"'", {"two words", "single \"q\""}},
        {R"("say \"hi\"" "back\\slash" "keep\n" "\$HOME")", {"say \"hi\"", "back\\slash", "keep\\n", "$HOME"}},
        {R"(back\ slash \'x\' \\)", {"back slash", "'x'", "\\"}},
        {"'it'\"'\"'s' a\"b\"c", {"it's", "abc"}},
        {"\"\" ''", {"", ""}}, {"'multi\nline'", {"multi\nline"}},
        {"$(touch x) `id` ; | && > f ~ *", {"$(touch", "x)", "`id`", ";", "|", "&&", ">", "f", "~", "*"}},
        {"a\\\nb \"c\\\nd\"", {"ab", "cd"}},
        {R"("tick\`s" "\$" "\a")", {"tick`s", "$", "\\a"}}, // only \" \\ \$ \` and a line end are escapes
    };
    for (const auto& row : rows) {
        const auto args = splitArgs(row.line);
        ASSERT_TRUE(args.has_value()) << row.line;
        EXPECT_EQ(*args, row.args) << row.line;
    }
    // An open quote or a lone backslash at the end leaves the arguments unknown.
    for (const char* line : {"'open", "\"open", "a \"b 'c'", "trailing\\", "\"esc\\\""})
        EXPECT_FALSE(splitArgs(line).has_value()) << line;
}

// What a recording program saw: its folder, its parent and its arguments.
struct Seen { std::string folder; long parent{0}; Args args; };

// Writes a script at path that records what it was started with into out, complete
// or not at all (written aside, then renamed).
void makeRecorder(const QString& path, const QString& out)
{
    const QByteArray o = QFile::encodeName(out);
    writeFile(path,
              "#!/bin/sh\n{ pwd -P; echo \"$PPID\"; [ $# = 0 ] || printf '%s\\0' \"$@\"; } > '" + o + ".part' && mv '" + o
                  + ".part' '" + o + "'\n",
              true);
}

// Waits for the recording, a few seconds at most: the program runs on its own. The
// record is used up.
std::optional<Seen> waitFor(const QString& out)
{
    if (!QTest::qWaitFor([&] { return QFile::exists(out); }, 10000))
        return std::nullopt;
    const QByteArray all = readFile(out);
    QFile::remove(out);
    const qsizetype a = all.indexOf('\n'), b = all.indexOf('\n', a + 1);
    Seen seen{all.left(a).toStdString(), all.mid(a + 1, b - a - 1).toLong(), {}};
    if (b + 1 < all.size()) // each argument ends in a NUL
        for (const QByteArray& arg : all.mid(b + 1).chopped(1).split('\0'))
            seen.args.push_back(arg.toStdString());
    return seen;
}

// Runs in the test's own folder, where a relative "touch pwned" would land, with its
// bin/ first on PATH.
class ShellTest : public ::testing::Test {
protected:
    ShellTest()
    {
        for (const char* sub : {"work", "bin", "home"})
            QDir(tmp.path()).mkpath(sub);
        QDir::setCurrent(tmp.path());
        qputenv("PATH", QFile::encodeName(path("bin")) + ":" + qgetenv("PATH"));
        qputenv("HOME", QFile::encodeName(path("home")));
    }
    ~ShellTest() override { QDir::setCurrent(oldFolder); }
    QString path(const QString& name) const { return QDir(tmp.path()).filePath(name); }
    std::string at(const QString& name) const { return bytes(path(name)); }
    std::string canonical(const QString& name) const { return bytes(QFileInfo(path(name)).canonicalFilePath()); }

    const QString oldFolder = QDir::currentPath();
    const EnvGuard env{"PATH", "HOME"};
    QTemporaryDir tmp;
    DesktopShell shell;
};

// Every start hands the program exactly the arguments asked for, in the folder asked
// for, detached from the launcher and with nothing expanded; or it fails and nothing runs.
TEST_F(ShellTest, ProgramsGetExactlyWhatWasAskedForOrNothingRunsAtAll)
{
    const QString odd = "run;touch pwned\n$(touch pwned)";
    for (const QString& name : {QString("my prog"), odd, QString("bin/vyre-rec")})
        makeRecorder(path(name), path("out"));
    const QByteArray rec = QFile::encodeName(path("bin/vyre-rec")), entry = "[Desktop Entry]\nType=Application\nName=E\n";
    writeFile(path("tool.desktop"), entry + "Exec=" + rec + " --from-entry %F\n");
    writeFile(path("own.desktop"), entry + "Exec=" + rec + " %F\nPath=" + QFile::encodeName(path("bin")) + "\n");
    writeFile(path("dead.desktop"), entry + "Exec=/no/such/program %f\n");
    writeFile(path("plain.txt"), "not a program\n");
    writeFile(path("broken"), "#!/no/such/interpreter\n", true);
    const std::string work = at("work"), here = canonical(""), inWork = canonical("work"), home = canonical("home");
    const std::string pwned = at("pwned");
    const std::string file = "/no/such dir/a b;touch pwned $(id).txt";
    // drop: startWithFile(target, parameters, file) rather than open(target, parameters,
    // folder). No ranIn: the start must fail.
    const struct { std::string target, parameters{}, folder{}; bool drop = false; Args args{}; std::string ranIn{}; } rows[] = {
        {at("my prog"), R"(plain "two words" 'single "q"' "say \"hi\"" back\ slash '$(touch pwned)' ; "" a$HOME)",
         work, false, {"plain", "two words", "single \"q\"", "say \"hi\"", "back slash", "$(touch pwned)", ";", "", "a$HOME"},
         inWork},
        {"vyre-rec", "-n 'x y'", work, false, {"-n", "x y"}, inWork}, // found on PATH
        {at(odd), "; touch pwned", "", false, {";", "touch", "pwned"}, here},
        // An entry starts in its own Path=, else at home: not in the folder asked for,
        // nor in the one holding the entry, which is the launcher's own here.
        {at("tool.desktop"), "", work, false, {"--from-entry"}, home},
        {at("own.desktop"), "", work, false, {}, canonical("bin")},
        {at("my prog"), "--page 2", "", true, {"--page", "2", file}, here},
        {"vyre-rec", "-x", "", true, {"-x", file}, here},
        {at("tool.desktop"), "", "", true, {"--from-entry", file}, home},
        {at("own.desktop"), "", "", true, {file}, canonical("bin")},
        {at("nope")}, {"vyrelight-no-such-program"}, {at("broken")}, {at("dead.desktop")}, {"true;touch pwned"},
        {at("my prog"), "", at("gone")} /* not run elsewhere instead */, {at("my prog"), "'open"} /* arguments unknown */,
        {"$(touch pwned)"}, {at("$(touch ") + pwned + ")"}, {at("nope"), "", "", true}, {at("plain.txt"), "", "", true},
        {"true;touch pwned", "", "", true},
        {at("my prog") + std::string(1, '\0') + "x"}, {at("my prog"), "", work + std::string(1, '\0') + "x"}, // a NUL cuts nothing
        {at("my prog") + std::string(1, '\0') + "x", "", "", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target + " " + row.parameters);
        const Result<void> r = row.drop ? shell.startWithFile(row.target, row.parameters, file)
                                        : shell.open(row.target, row.parameters, row.folder);
        ASSERT_EQ(r.ok(), !row.ranIn.empty()) << r.reason();
        if (!r.ok())
            continue;
        const auto s = waitFor(path("out"));
        ASSERT_TRUE(s);
        // Detached: not our child.
        EXPECT_EQ(std::tuple(s->args, s->folder, s->parent == long(::getpid())), std::tuple(row.args, row.ranIn, false));
    }
    // A dropped link that names no local file goes only to an entry that takes URIs; a
    // program given it would look for a file of that name.
    writeFile(path("links.desktop"), entry + "Exec=" + rec + " %U\n");
    const std::string link = "https://example.org/a%20b?q=1";
    ASSERT_TRUE(shell.startWithFile(at("links.desktop"), "", link).ok());
    EXPECT_EQ(waitFor(path("out")).value_or(Seen{}).args, Args({link}));
    for (const std::string& target : {at("tool.desktop"), at("my prog"), std::string("vyre-rec")}) {
        const Result<void> r = shell.startWithFile(target, "", link);
        EXPECT_TRUE(!r.ok() && r.reason().find(link) != std::string::npos) << target << ": " << r.reason();
    }
    EXPECT_FALSE(QFile::exists(path("pwned")));
    EXPECT_FALSE(QFile::exists(path("out")));
}

TEST_F(ShellTest, CopyIntoReplacesAFileOfThatNameWholeAndRefusesWhatItCannotDoSafely)
{
    QDir().mkpath(path("dest"));
    writeFile(path("note.txt"), "new");
    ASSERT_TRUE(QFile::link(tmp.path(), path("here")));
    const struct { std::string file, folder; bool ok; } rows[] = {
        {at("note.txt"), at("dest"), true}, {at("note.txt"), at("dest/"), true},
        {at("missing.txt"), at("dest"), false}, {at("note.txt"), at("no-folder"), false}, {at("dest"), at("work"), false},
        {at("note.txt"), bytes(tmp.path()), false}, {at("note.txt"), at("here"), false}, // onto itself
    };
    for (const auto& row : rows) {
        writeFile(path("dest/note.txt"), "old");
        EXPECT_EQ(shell.copyInto(row.file, row.folder).ok(), row.ok) << row.file << " -> " << row.folder;
        EXPECT_EQ(readFile(path("dest/note.txt")), row.ok ? "new" : "old");
    }
    EXPECT_EQ(readFile(path("note.txt")), "new");
    EXPECT_EQ(QDir(path("dest")).entryList(QDir::Files | QDir::Hidden).size(), 1); // no leftovers
}

// GIO reads the XDG folders once per process, so this test runs again in a child whose
// environment points at a desktop made up here: the system's mime database, one stand-in
// application for plain text, folders and "vyretest:" links, and nothing else.
TEST(ShellDefaultHandlerTest, DocumentsFoldersAndLinksOpenOnlyWithAnApplicationForThem)
{
    const QString made = qEnvironmentVariable("VYRE_MADE_UP_DESKTOP");
    if (made.isEmpty()) {
        QTemporaryDir root;
        QDir dir(root.path());
        for (const char* sub : {"config", "data/applications", "sysdata", "docs"})
            ASSERT_TRUE(dir.mkpath(sub));
        ASSERT_TRUE(QFile::link("/usr/share/mime", dir.filePath("sysdata/mime")));
        makeRecorder(dir.filePath("handler"), dir.filePath("out"));
        writeFile(dir.filePath("data/applications/vyre-open.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Open\nMimeType=text/plain;inode/directory;x-scheme-handler/"
                  "vyretest;\nExec=" + QFile::encodeName(dir.filePath("handler")) + " %U\n");
        writeFile(dir.filePath("config/mimeapps.list"), "[Default Applications]\ntext/plain=vyre-open.desktop\n"
                                                        "inode/directory=vyre-open.desktop\nx-scheme-handler/vyretest=vyre-open.desktop\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (auto [name, sub] : {std::pair{"XDG_CONFIG_HOME", "config"}, {"XDG_CONFIG_DIRS", "config"}, {"XDG_DATA_HOME", "data"},
                                 {"XDG_DATA_DIRS", "sysdata"}})
            env.insert(name, dir.filePath(sub));
        env.insert("VYRE_MADE_UP_DESKTOP", root.path());
        env.insert("XDG_CURRENT_DESKTOP", "X-Vyrelight-Test");
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.remove("DISPLAY");
        runThisTestInChild(env);
        return;
    }
    const QDir root(made);
    DesktopShell shell;
    const std::string docs = bytes(root.filePath("docs")), notes = docs + "/notes.txt", blob = docs + "/blob.vyrenohandler";
    writeFile(QString::fromStdString(notes), "hello\n");
    writeFile(QString::fromStdString(blob), QByteArray("\x00\x01\x02\x03\xff", 5));
    // Documents and folders start with their application, in the folder given, and a link
    // goes to its handler whole; without an application for them, nothing starts, and the
    // reason names the kind of thing the desktop has no application for.
    const std::string link = "vyretest:hello?x=1;y=$(id)";
    const struct { std::string target, folder{}; bool opens = false; std::string why{}; } rows[] = {
        {notes, docs, true}, {docs, bytes(root.path()), true}, {link, "", true},
        {"vyrenohandler://host/x", "", false, "no application is set to open vyrenohandler: links"},
        {blob, "", false, "no application is set to open files of the type \"unknown\" (application/octet-stream)"},
    };
    for (const auto& row : rows) {
        const Result<void> r = shell.open(row.target, "ignored", row.folder);
        ASSERT_EQ(std::pair(r.ok(), r.ok() ? std::string() : r.reason()), std::pair(row.opens, row.why)) << row.target;
        if (!r.ok())
            continue;
        const Seen seen = waitFor(root.filePath("out")).value_or(Seen{});
        EXPECT_EQ(seen.args, Args{row.target});
        EXPECT_TRUE(row.folder.empty() || seen.folder == bytes(QFileInfo(QString::fromStdString(row.folder)).canonicalFilePath()));
    }
    // An executable-marked text file without "#!" is a document: exec would refuse it and
    // GLib would run it through /bin/sh. By full path and as a bare name found on PATH
    // alike, it opens with its application and never runs; started with a file, it fails.
    // A first line of "# " (a comment, common on FAT and network mounts) is no "#!".
    const std::string pwned = docs + "/pwned";
    qputenv("PATH", QByteArray(docs.c_str()) + ":" + qgetenv("PATH"));
    for (const char* name : {"vyre-plain-exec", "vyre-comment-exec"}) {
        const std::string plain = docs + "/" + name;
        writeFile(QString::fromStdString(plain),
                  QByteArray(name[5] == 'c' ? "# a note\n" : "") + "touch '" + pwned.c_str() + "'\n", true);
        for (const std::string& target : {plain, std::string(name)}) {
            const Result<void> r = shell.open(target, "", docs);
            ASSERT_TRUE(r.ok()) << target << ": " << r.reason();
            EXPECT_EQ(waitFor(root.filePath("out")).value_or(Seen{}).args, Args{plain});
            EXPECT_FALSE(shell.startWithFile(target, "", notes).ok()) << target;
        }
        EXPECT_FALSE(gio::spawnDetached(plain, {}, docs).ok()) << name;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pwned)));
    EXPECT_TRUE(shell.openLink(QString::fromStdString(link)).ok() && waitFor(root.filePath("out")));
    EXPECT_FALSE(shell.openLink("not a link").ok());
    // Every start was detached: no child of ours is left, running or as a zombie.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

} // namespace
