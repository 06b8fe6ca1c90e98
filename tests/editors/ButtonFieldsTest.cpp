// The button editor's rules without its window: what a target is, what leaving the
// target box fills in, and which boxes make a button the toolbar file can hold.
#include "editors/ButtonFields.h"
#include "platform/LosslessText.h"
#include "support/TestHelpers.h"
#include "ButtonRecord.h"

#include <QDir>
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
        writeFile(path("run.sh"), "#!/bin/sh\n", true);
        writeFile(path("notes.txt"), "#!/bin/sh\n");
        writeFile(path("editor.desktop"), "#!/bin/sh\n");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // The five boxes, as many as given, the rest empty.
    static ButtonFields boxes(const QStringList& texts)
    {
        ButtonFields f;
        for (int i = 0; i < ButtonFields::FieldCount; ++i)
            f.text[i] = texts.value(i);
        return f;
    }
    static QStringList texts(const ButtonFields& f) { return QStringList(f.text.begin(), f.text.end()); }

    QTemporaryDir dir;
};

TEST_F(ButtonFieldsTest, AFolderIsAFolderButtonAndProgramsAreWhatTheKernelRunsEntriesNamesOnThePathAndExeNames)
{
    const std::tuple<QString, std::uint8_t, bool> cases[] = { // the target, its kind, a program
        {path("folder"), KindFolder, false},      {path("folder") + "/", KindFolder, false},
        {path("run.sh"), KindFile, true},         {path("editor.desktop"), KindFile, true},
        {"sh", KindFile, true},                   {"C:\\Tools\\MY.EXE", KindFile, true},
        {path("notes.txt"), KindFile, false},     {path("missing"), KindFile, false},
        {"no-such-program-here", KindFile, false}, {RecallMarker, KindFile, false},
        {"   ", KindFile, false},                 {path("missing.desktop"), KindFile, false},
        {"", KindFile, false},
    };
    for (const auto& [target, kind, program] : cases)
        EXPECT_EQ(std::pair(TargetKind(target), isProgramTarget(target)), std::pair(kind, program)) << target.toStdString();
}

TEST_F(ButtonFieldsTest, LeavingTheTargetFillsOnlyBlankBoxes)
{
    const QString app = path("my.app.sh");
    writeFile(app, "#!/bin/sh\n", true);
    // An application entry names itself; its file's title would be "org".
    const QString entry = path("org.example.Mail.desktop");
    writeFile(entry, "[Desktop Entry]\nType=Application\nName[de]=Post\nName=Mail Reader\nExec=mail %U\n"
                     "[Desktop Action New]\nName=New Message\n");
    const std::pair<QStringList, QStringList> cases[] = { // the boxes before, after
        {{"", app}, {"my", app, "", app, "1"}},
        {{"  ", app, "", " "}, {"my", app, "", app, "1"}}, // blanks are no name nor icon
        {{"Mine", app, "", "/icons/x.ico", "3"}, {"Mine", app, "", "/icons/x.ico", "3"}},
        {{"", path("notes.txt")}, {"notes", path("notes.txt"), "", "", ""}}, // a document has no icon of its own
        {{"", path("folder") + "/"}, {"", path("folder") + "/", "", "", ""}}, // a name ending in the separator
        {{"", RecallMarker}, {"!RecallTbr>>>", RecallMarker, "", "", ""}},
        {{"", entry}, {"Mail Reader", entry, "", entry, "1"}},
        {{"", path("editor.desktop")}, {"editor", path("editor.desktop"), "", path("editor.desktop"), "1"}}, // unnamed
    };
    for (const auto& [before, after] : cases) {
        ButtonFields f = boxes(before);
        completeFromTarget(f);
        EXPECT_EQ(texts(f), after);
    }
    // A chosen program replaces an icon already chosen; the name stays.
    ButtonFields f = boxes({"Mine", "", "", "/icons/x.ico", "3"});
    takeChosenTarget(f, app);
    EXPECT_EQ(texts(f), QStringList({"Mine", app, "", app, "1"}));
}

TEST_F(ButtonFieldsTest, OkWantsANameAndATargetUnlessItIsASeparator)
{
    EXPECT_TRUE(okAllowed(boxes({"A", "/bin/a"}), false));
    EXPECT_TRUE(okAllowed(boxes({" ", " "}), false)); // blanks count as typed
    EXPECT_FALSE(okAllowed(boxes({"", "/bin/a"}), false));
    EXPECT_FALSE(okAllowed(boxes({"A", ""}), false));
    EXPECT_TRUE(okAllowed(boxes({}), true));
}

TEST_F(ButtonFieldsTest, BoxesTheFileCannotHoldAreRefusedNamingFieldAndCharacter)
{
    const std::tuple<ButtonFields::Field, QString, const char*> cases[] = { // the box, its text, the problem
        {ButtonFields::Name, "a;b", "\"Name\" holds a \";\""},
        {ButtonFields::Executable, "/bin/a\nb", "\"Executable\" holds a line break"},
        {ButtonFields::Parameters, "x\ry", "\"Parameters\" holds a line break"},
        {ButtonFields::IconFile, QString("a") + QChar(0) + "b", "\"Icon file\" holds a NUL character"},
        {ButtonFields::IconIndex, "32768", "\"Icon index\" must hold a number from 1 to 32767"},
        {ButtonFields::IconIndex, "-1", "\"Icon index\" must hold"},
        {ButtonFields::IconIndex, "1e9", "\"Icon index\" must hold"},
    };
    for (const auto& [field, text, named] : cases) {
        ButtonFields f = boxes({"A", "/bin/a"});
        f[field] = text;
        const ButtonOutcome out = makeButton(f, false);
        EXPECT_TRUE(!out.button && out.problem.contains(QString::fromUtf8(named))) << out.problem.toStdString();
        // A separator stores no text, so what its disabled boxes hold is never refused.
        const ButtonOutcome separator = makeButton(f, true);
        ASSERT_TRUE(separator.button) << separator.problem.toStdString();
        EXPECT_EQ(record(*separator.button), record({"", "", "", KindSeparator, "", 0}));
    }
}

TEST_F(ButtonFieldsTest, TheRecordTakesTheTextsAsTheyStandAndAnIndexThatFits)
{
    const std::pair<QString, std::int16_t> cases[] = {{"", 0}, {"0", 0}, {"abc", 0}, {"1", 1}, {" 7 ", 7}, {"2.5", 2}, {"32767", 32767}};
    for (const auto& [index, stored] : cases) {
        const ButtonOutcome out = makeButton(boxes({" A ", path("folder"), "-x 'y'", " /i.ico", index}), false);
        ASSERT_TRUE(out.button) << out.problem.toStdString();
        EXPECT_EQ(record(*out.button), record({" A ", bytes(path("folder")), "-x 'y'", KindFolder, " /i.ico", stored}))
            << index.toStdString();
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
        EXPECT_TRUE(!QByteArray::fromStdString(s).isValidUtf8() || textFromBytes(s) == QString::fromStdString(s)) << s;
    }

    const BtnRec b{"Caf\xe9", latin1Folder, "--titre=\xe9t\xe9 \xff", KindFolder, runnable, 3};
    const ButtonOutcome out = makeButton(ButtonFields::fromButton(b), false);
    ASSERT_TRUE(out.button) << out.problem.toStdString();
    EXPECT_EQ(record(*out.button), record(b));
    // The file checks go by the name's bytes too.
    EXPECT_TRUE(isProgramTarget(textFromBytes(runnable)));
    ButtonFields completed = boxes({"", textFromBytes(runnable)});
    ASSERT_TRUE(completeFromTarget(completed));
    EXPECT_EQ(bytesFromText(completed[ButtonFields::Name]), "r\xe9gler");
    EXPECT_EQ(bytesFromText(completed[ButtonFields::IconFile]), runnable);
    // The temporary folder cannot remove names that are not UTF-8 itself.
    std::filesystem::remove(runnable);
    std::filesystem::remove(latin1Folder);
}

} // namespace
