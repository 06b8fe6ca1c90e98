// The button editor's rules without its window: what a target is, what leaving the
// target box fills in, and which boxes make a button the toolbar file can hold.
#include "editors/ButtonFields.h"
#include "platform/LosslessText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class ButtonFieldsTest : public ::testing::Test {
protected:
    ButtonFieldsTest()
    {
        QDir(dir.path()).mkdir("folder");
        make("run.sh", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        make("notes.txt", QFileDevice::ReadOwner);
        make("editor.desktop", QFileDevice::ReadOwner);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void make(const QString& name, QFileDevice::Permissions p) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(p | QFileDevice::WriteOwner);
    }
    static ButtonFields boxes(QString name, QString target, QString iconFile = {}, QString index = {})
    {
        ButtonFields f;
        f[ButtonFields::Name] = name;
        f[ButtonFields::Executable] = target;
        f[ButtonFields::IconFile] = iconFile;
        f[ButtonFields::IconIndex] = index;
        return f;
    }

    QTemporaryDir dir;
};

TEST_F(ButtonFieldsTest, AFolderIsAFolderButtonAndEverythingElseAFileButton)
{
    EXPECT_EQ(TargetKind(path("folder")), KindFolder);
    EXPECT_EQ(TargetKind(path("folder") + "/"), KindFolder);
    for (const QString& t : {path("notes.txt"), path("missing"), QString(RecallMarker), QString()})
        EXPECT_EQ(TargetKind(t), KindFile) << t.toStdString();
}

TEST_F(ButtonFieldsTest, ProgramsAreWhatTheKernelRunsDesktopEntriesNamesOnThePathAndOldExeNames)
{
    const struct {
        QString target;
        bool program;
    } cases[] = {
        {path("run.sh"), true},         {path("editor.desktop"), true}, {"sh", true},
        {"C:\\Tools\\MY.EXE", true},    {path("notes.txt"), false},     {path("folder"), false},
        {"no-such-program-here", false}, {RecallMarker, false},         {"   ", false},
        {path("missing.desktop"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isProgramTarget(c.target), c.program) << c.target.toStdString();
}

TEST_F(ButtonFieldsTest, LeavingTheTargetFillsOnlyBlankBoxes)
{
    const QString app = path("my.app.sh");
    make("my.app.sh", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // An application entry names itself; its file's title would be "org".
    const QString entry = path("org.example.Mail.desktop");
    QFile e(entry);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.write("[Desktop Entry]\nType=Application\nName[de]=Post\nName=Mail Reader\nExec=mail %U\n"
            "[Desktop Action New]\nName=New Message\n");
    e.close();
    const struct {
        ButtonFields before;
        QStringList after; // name, icon file, icon index
    } cases[] = {
        {boxes("", app), {"my", app, "1"}},
        {boxes("  ", app, " "), {"my", app, "1"}},                       // blanks are no name nor icon
        {boxes("Mine", app, "/icons/x.ico", "3"), {"Mine", "/icons/x.ico", "3"}},
        {boxes("", path("notes.txt")), {"notes", "", ""}},               // a document has no icon of its own
        {boxes("", path("folder") + "/"), {"", "", ""}},                 // a name ending in the separator
        {boxes("", RecallMarker), {"!RecallTbr>>>", "", ""}},
        {boxes("", entry), {"Mail Reader", entry, "1"}},
        {boxes("", path("editor.desktop")), {"editor", path("editor.desktop"), "1"}}, // no name in it
    };
    for (const auto& c : cases) {
        ButtonFields f = c.before;
        completeFromTarget(f);
        EXPECT_EQ(QStringList({f[ButtonFields::Name], f[ButtonFields::IconFile], f[ButtonFields::IconIndex]}), c.after)
            << c.before[ButtonFields::Executable].toStdString();
    }
    // A chosen program replaces an icon already chosen; the name stays.
    ButtonFields f = boxes("Mine", "", "/icons/x.ico", "3");
    takeChosenTarget(f, app);
    EXPECT_EQ(QStringList({f[ButtonFields::Name], f[ButtonFields::Executable], f[ButtonFields::IconFile],
                           f[ButtonFields::IconIndex]}),
              QStringList({"Mine", app, app, "1"}));
}

TEST_F(ButtonFieldsTest, OkWantsANameAndATargetUnlessItIsASeparator)
{
    EXPECT_TRUE(okAllowed(boxes("A", "/bin/a"), false));
    EXPECT_TRUE(okAllowed(boxes(" ", " "), false)); // blanks count as typed
    EXPECT_FALSE(okAllowed(boxes("", "/bin/a"), false));
    EXPECT_FALSE(okAllowed(boxes("A", ""), false));
    EXPECT_TRUE(okAllowed(boxes("", ""), true));
}

TEST_F(ButtonFieldsTest, BoxesTheFileCannotHoldAreRefusedNamingFieldAndCharacter)
{
    const struct {
        ButtonFields::Field field;
        QString text;
        const char* named;
    } cases[] = {
        {ButtonFields::Name, "a;b", "\"Name\" holds a \";\""},
        {ButtonFields::Executable, "/bin/a\nb", "\"Executable\" holds a line break"},
        {ButtonFields::Parameters, "x\ry", "\"Parameters\" holds a line break"},
        {ButtonFields::IconFile, QString("a") + QChar(0) + "b", "\"Icon file\" holds a NUL character"},
        {ButtonFields::IconIndex, "32768", "\"Icon index\" must hold a number from 1 to 32767"},
        {ButtonFields::IconIndex, "-1", "\"Icon index\" must hold"},
        {ButtonFields::IconIndex, "1e9", "\"Icon index\" must hold"},
    };
    for (const auto& c : cases) {
        ButtonFields f = boxes("A", "/bin/a");
        f[c.field] = c.text;
        const ButtonOutcome out = makeButton(f, false);
        EXPECT_FALSE(out.button) << c.named;
        EXPECT_TRUE(out.problem.contains(QString::fromUtf8(c.named))) << out.problem.toStdString();
        // A separator stores no text, so what its disabled boxes hold is never refused.
        const ButtonOutcome separator = makeButton(f, true);
        ASSERT_TRUE(separator.button) << separator.problem.toStdString();
        EXPECT_EQ(separator.button->Kind, KindSeparator);
        EXPECT_EQ(separator.button->Name + separator.button->Executable + separator.button->Parameters
                      + separator.button->IconFile, "");
        EXPECT_EQ(separator.button->IconIndex, 0);
    }
}

TEST_F(ButtonFieldsTest, TheRecordTakesTheTextsAsTheyStandAndAnIndexThatFits)
{
    const struct {
        QString index;
        std::int16_t stored;
    } cases[] = {{"", 0}, {"0", 0}, {"abc", 0}, {"1", 1}, {" 7 ", 7}, {"2.5", 2}, {"32767", 32767}};
    for (const auto& c : cases) {
        ButtonFields f = boxes(" A ", path("folder"), " /i.ico", c.index);
        f[ButtonFields::Parameters] = "-x 'y'";
        const ButtonOutcome out = makeButton(f, false);
        ASSERT_TRUE(out.button) << out.problem.toStdString();
        EXPECT_EQ(out.button->IconIndex, c.stored) << c.index.toStdString();
        EXPECT_EQ(out.button->Name, " A ");
        EXPECT_EQ(out.button->Executable, path("folder").toStdString());
        EXPECT_EQ(out.button->Parameters, "-x 'y'");
        EXPECT_EQ(out.button->IconFile, " /i.ico");
        EXPECT_EQ(out.button->Kind, KindFolder);
    }
}

// Bytes that are not UTF-8 (a Latin-1 name from an older system) survive the boxes: a
// button edited and confirmed untouched is the same record, kind included.
TEST_F(ButtonFieldsTest, TextsThatAreNotUtf8RoundTripByteForByte)
{
    const std::string latin1Folder = dir.path().toStdString() + "/caf\xe9";
    ASSERT_TRUE(std::filesystem::create_directory(latin1Folder));
    const std::string runnable = dir.path().toStdString() + "/r\xe9gler.sh";
    std::ofstream(runnable) << "#!/bin/sh\n";
    std::filesystem::permissions(runnable, std::filesystem::perms::owner_all);

    const std::string samples[] = {
        "caf\xe9",                 // Latin-1
        "\xc3\xa9t\xc3\xa9",    // valid UTF-8 stays as it is
        "\xc3",                    // a sequence cut short
        "\xc0\xaf",               // an overlong "/"
        "\xed\xa0\x80",          // an encoded surrogate
        "\xf4\x90\x80\x80",     // beyond U+10FFFF
        "\xf0\x9f\x98\x80 \xff\xfe", // a character beyond the BMP, then stray bytes
    };
    for (const std::string& s : samples) {
        EXPECT_EQ(bytesFromText(textFromBytes(s)), s) << s;
        if (QByteArray::fromStdString(s).isValidUtf8()) {
            EXPECT_EQ(textFromBytes(s), QString::fromStdString(s)) << s;
        }
    }

    BtnRec b;
    b.Name = "Caf\xe9";
    b.Executable = latin1Folder;
    b.Parameters = "--titre=\xe9t\xe9 \xff";
    b.IconFile = runnable;
    b.IconIndex = 3;
    b.Kind = KindFolder;
    const ButtonOutcome out = makeButton(ButtonFields::fromButton(b), false);
    ASSERT_TRUE(out.button) << out.problem.toStdString();
    EXPECT_EQ(out.button->Name, b.Name);
    EXPECT_EQ(out.button->Executable, b.Executable);
    EXPECT_EQ(out.button->Parameters, b.Parameters);
    EXPECT_EQ(out.button->IconFile, b.IconFile);
    EXPECT_EQ(out.button->IconIndex, 3);
    EXPECT_EQ(out.button->Kind, KindFolder);
    // The file checks go by the name's bytes too.
    EXPECT_TRUE(isProgramTarget(textFromBytes(runnable)));
    ButtonFields completed;
    completed[ButtonFields::Executable] = textFromBytes(runnable);
    ASSERT_TRUE(completeFromTarget(completed));
    EXPECT_EQ(bytesFromText(completed[ButtonFields::Name]), "r\xe9gler");
    EXPECT_EQ(bytesFromText(completed[ButtonFields::IconFile]), runnable);
}

} // namespace
