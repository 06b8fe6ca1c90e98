#include "support/TestHelpers.h"
#include "icons/FileIconSource.h"
#include "icons/FolderIconReader.h"
#include "icons/IconTheme.h"
#include "support/IconFixtures.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <string>

namespace {

using namespace fixture;

void picture(const QString& path, QRgb colour, int side = 16, const char* format = "png")
{
    writeFile(path, fixture::encoded(fixture::solid(side, side, colour), format));
}

// A desktop of our own in a temporary folder: the base folders, the user's icon theme
// (inheriting another), hicolor and the installed application entries all point into
// it for the test's life, and back to what they were after.
class Desktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("HOME", QFile::encodeName(m_dir.filePath("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath("home/.local/share")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir.filePath("share")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath("home/.config")));
        m_theme = QIcon::themeName();
        QIcon::setThemeName(QStringLiteral("vyretest"));

        const QString icons = m_dir.filePath("share/icons/");
        writeFile(icons + "hicolor/index.theme", "[Icon Theme]\nName=Hicolor\nDirectories=16x16/apps,32x32/apps\n\n"
                                            "[16x16/apps]\nSize=16\nType=Threshold\n\n[32x32/apps]\nSize=32\nType=Fixed\n");
        writeFile(icons + "vyretest/index.theme", "[Icon Theme]\nName=Test\nInherits=parenttest\nDirectories=apps\n\n"
                                             "[apps]\nSize=48\nType=Scalable\nMinSize=8\nMaxSize=256\n");
        writeFile(icons + "parenttest/index.theme", "[Icon Theme]\nName=Parent\nInherits=vyretest\nDirectories=16\n\n"
                                               "[16]\nSize=16\n");
        picture(icons + "hicolor/16x16/apps/only-in-hicolor.png", Red);
        picture(icons + "hicolor/32x32/apps/only-in-hicolor.png", Blue, 32);
        picture(icons + "hicolor/16x16/apps/both.png", Red);
        picture(icons + "vyretest/apps/both.png", Green, 48);
        picture(icons + "vyretest/apps/in-user-theme.png", Green, 48);
        picture(icons + "parenttest/16/inherited.png", Yellow);
        picture(m_dir.filePath("share/pixmaps/legacy.png"), Grey);
    }

    void TearDown() override { QIcon::setThemeName(m_theme); }

    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    const EnvGuard m_env{"HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME"};
    QTemporaryDir m_dir;
    QString m_theme;
};

TEST_F(Desktop, NamesEntriesProgramsFoldersAndBitmapsCountAndDrawTheIconTheyStandFor)
{
    const QString bin = path("bin/");
    const QString apps = path("share/applications/");
    picture(path("pictures/sample.png"), Blue);
    picture(path("pictures/bitmap.bmp"), Red, 16, "bmp");
    writeFile(apps + "sample.desktop", "[Desktop Entry]\nType=Application\nName=Sample\nExec=\"" + bin.toUtf8()
                                      + "sample app\" %U\nIcon=inherited\n");
    writeFile(bin + "sample app", "#!/bin/sh\nexit 0\n", true);
    writeFile(bin + "only-in-hicolor", "#!/bin/sh\nexit 0\n", true);
    writeFile(bin + "in-user-theme", QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(120, '\0'), true);
    writeFile(bin + "not-runnable", "#!/bin/sh\nexit 0\n");
    writeFile(path("entries/theme.desktop"), "[Desktop Entry]\nName=T\nIcon=in-user-theme\nIcon[de]=both\n");
    writeFile(path("entries/runnable.desktop"), "#!/usr/bin/env xdg-open\n[Desktop Entry]\nIcon=only-in-hicolor.png\n");
    writeFile(path("entries/path.txt"), "[Desktop Entry]\nIcon=" + path("pictures/sample.png").toUtf8() + "\n");
    writeFile(path("entries/commented.desktop"), "# made by hand\n\n[Desktop Entry]\nIcon=legacy\n");
    writeFile(path("entries/relative.desktop"), "[Desktop Entry]\nIcon=pictures/sample.png\n");
    writeFile(path("entries/no-icon.desktop"), "[Desktop Entry]\nName=Nothing\n");
    writeFile(path("entries/loop-a.desktop"), "[Desktop Entry]\nIcon=" + path("entries/loop-b.desktop").toUtf8() + "\n");
    writeFile(path("entries/loop-b.desktop"), "[Desktop Entry]\nIcon=" + path("entries/loop-a.desktop").toUtf8() + "\n");

    const struct { QString file; std::optional<QRgb> at16, at32; } rows[] = {
        {"only-in-hicolor", Red, Blue}, // the folder of the size asked for
        {"both", Green, Green},         // the user's theme before hicolor
        {"inherited", Yellow, Yellow},
        {"legacy", Grey, Grey}, // the plain pixmaps folder, last
        {"no-such-icon", {}, {}},
        {path("entries/theme.desktop"), Green, Green},
        {path("entries/runnable.desktop"), Red, Blue},
        {path("entries/path.txt"), Blue, Blue}, // an entry by content, whatever its name
        {path("entries/commented.desktop"), Grey, Grey},
        {path("entries/relative.desktop"), {}, {}},
        {path("entries/no-icon.desktop"), {}, {}},
        {path("entries/loop-a.desktop"), {}, {}},
        {bin + "sample app", Yellow, Yellow}, // through the entry that starts it
        {bin + "only-in-hicolor", Red, Blue}, // its file name in the theme
        {bin + "in-user-theme", Green, Green},
        {bin + "not-runnable", {}, {}},
        {path("pictures/bitmap.bmp"), Red, Red},
    };
    FileIconSource icons;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        const std::string f = QFile::encodeName(row.file).toStdString();
        EXPECT_EQ(icons.count(f), row.at16 ? 1 : 0);
        for (const auto& [side, colour] : {std::pair(16, row.at16), std::pair(32, row.at32)}) {
            const QImage image = icons.draw(f, 0, side);
            EXPECT_EQ(image.size(), colour ? QSize(side, side) : QSize(0, 0)) << side;
            EXPECT_TRUE(!colour || near(image.pixel(side / 2, side / 2), *colour)) << side;
        }
    }
}

// A folder's picture files, in name order, are its icons; it is listed once for all of
// them, and again once it changes.
TEST_F(Desktop, AFolderHoldsItsPictureFilesInNameOrderListedOnceUntilItChanges)
{
    const QString folder = path("folder/");
    picture(folder + "b.png", Blue);
    picture(folder + "a.png", Red);
    picture(folder + "c.ico", Green); // a PNG named .ico: content speaks
    picture(folder + "inner/d.png", Yellow);
    writeFile(folder + "notes.txt", "not a picture");
    ASSERT_EQ(mkfifo(QFile::encodeName(folder + "e.png").constData(), 0600), 0); // never opened
    writeFile(path("empty/readme"), "nothing");
    FileIconSource icons;
    const FolderIconReader reader;
    const std::string f = QFile::encodeName(folder).toStdString();
    ASSERT_EQ(icons.count(f), 3);
    const std::pair<const char*, QRgb> order[] = {{"a.png", Red}, {"b.png", Blue}, {"c.ico", Green}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(near(icons.draw(f, i).pixel(8, 8), order[i].second)) << i;
        EXPECT_EQ(reader.refer(folder, i, 16)->file, folder + order[i].first);
    }
    EXPECT_EQ(std::pair(reader.count(folder), reader.listings()), std::pair(3, 1));
    EXPECT_TRUE(icons.draw(f, 3).isNull());
    EXPECT_EQ(icons.count(QFile::encodeName(path("empty")).toStdString()), 0);

    // A picture added is seen at the next build, once the event loop has run: the
    // folder's time changes (moved on a second here, as a coarse clock would show it).
    picture(folder + "0.png", Yellow);
    const struct timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, f.c_str(), later, 0), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(icons.count(f), 4);
    EXPECT_TRUE(near(icons.draw(f, 0).pixel(8, 8), Yellow));
    EXPECT_EQ(reader.refer(folder, 0, 16)->file, folder + "0.png");
    EXPECT_EQ(reader.listings(), 2);
}

TEST_F(Desktop, HugeInheritsListsAreWalkedOnceAndCut)
{
    // The user's theme starts a chain of 31 themes, each naming the next first and then
    // 2,000 themes that do not exist; the last holds the icon.
    const QString icons = path("share/icons/");
    for (int i = 0; i < 31; ++i) {
        QByteArray inherits = i < 30 ? "chain" + QByteArray::number(i + 1) : "hicolor";
        for (int k = 0; k < 2000; ++k)
            inherits += ",missing" + QByteArray::number(i) + "-" + QByteArray::number(k);
        const QString name = i == 0 ? QStringLiteral("vyretest") : QStringLiteral("chain%1").arg(i);
        writeFile(icons + name + "/index.theme", "[Icon Theme]\nInherits=" + inherits + "\nDirectories=apps\n\n[apps]\nSize=16\n");
    }
    picture(icons + "chain30/apps/deep.png", Yellow);
    IconTheme theme;
    EXPECT_EQ(theme.lookup("in-no-theme", 16), QString());
    const std::size_t looked = theme.themesLookedFor();
    EXPECT_LE(looked, 32u * 16u + 1u); // not 62,000 names
    EXPECT_EQ(theme.lookup("deep", 16), icons + "chain30/apps/deep.png");
    EXPECT_EQ(theme.themesLookedFor(), looked); // the chain is not walked again
}

// A button without an icon shows what its target is: a program's or an entry's own icon,
// a folder's (a special folder's own first), a document's type, then its generic kind.
TEST_F(Desktop, TargetsShowTheirOwnIconOrTheirTypesFromTheTheme)
{
    // Types come from the system's MIME database.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(path("share")) + ":/usr/share");
    const QString theme = path("share/icons/vyretest/apps/");
    picture(theme + "folder.png", Yellow, 48);
    picture(theme + "folder-documents.png", Blue, 48);
    picture(theme + "user-home.png", Red, 48);
    picture(theme + "text-x-generic.png", Grey, 48); // no text-plain: the generic kind
    writeFile(path("home/.config/user-dirs.dirs"), "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    QDir().mkpath(path("home/Papers"));
    QDir().mkpath(path("plain folder"));
    writeFile(path("notes.txt"), "some text\n");
    writeFile(path("sheet.ods"), "PK\x03\x04"); // a type the theme has no icon for
    writeFile(path("bin/in-user-theme"), QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(120, '\0'), true);
    writeFile(path("entries/theme.desktop"), "[Desktop Entry]\nName=T\nIcon=in-user-theme\n");

    const struct { QString target; std::optional<QRgb> colour; } rows[] = {
        {path("plain folder"), Yellow},
        {path("home"), Red},
        {path("home/Papers"), Blue},
        {path("notes.txt"), Grey},
        {path("missing.txt"), Grey}, // by its name alone
        {path("bin/in-user-theme"), Green},
        {path("entries/theme.desktop"), Green},
        {path("sheet.ods"), {}},
        {"", {}},
        {"no-such-program-anywhere", {}},
    };
    FileIconSource icons;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.target.toStdString());
        const QImage image = icons.drawTarget(QFile::encodeName(row.target).toStdString(), 16);
        EXPECT_TRUE(row.colour ? near(image.pixel(8, 8), *row.colour) : image.isNull());
    }
}

// The names a theme icon is chosen from: those of the user's theme and every theme it
// inherits, hicolor last, each once and sorted; the plain pixmaps folder is no theme.
// Nothing chosen (hicolor alone) means the theme the toolkits fall back to, so folders
// and documents still find their icons; with no such theme installed there are none.
TEST_F(Desktop, ThemeNamesAndWithoutAChosenThemeTheToolkitsDefaultThemeServesAndWithoutItNothingDoes)
{
    EXPECT_EQ(FileIconSource().themeNames(), (QStringList{"both", "in-user-theme", "inherited", "only-in-hicolor"}));
    QIcon::setThemeName(QStringLiteral("hicolor"));
    QDir().mkpath(path("a folder"));
    EXPECT_TRUE(FileIconSource().drawTarget(QFile::encodeName(path("a folder")).toStdString(), 16).isNull());
    writeFile(path("share/icons/Adwaita/index.theme"), "[Icon Theme]\nName=Adwaita\nDirectories=places\n\n"
                                                  "[places]\nSize=16\n");
    picture(path("share/icons/Adwaita/places/folder.png"), Blue);
    EXPECT_TRUE(near(FileIconSource().drawTarget(QFile::encodeName(path("a folder")).toStdString(), 16).pixel(8, 8), Blue));
    EXPECT_TRUE(FileIconSource().themeNames().contains("folder"));
}

} // namespace
