// The installed applications as the chooser lists them: the Desktop Entry rules of which
// entries count, which copy wins, and in which language they are named.
#include "support/TestHelpers.h"
#include "platform/ApplicationList.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

namespace {

class ApplicationListTest : public ::testing::Test {
protected:
    ApplicationListTest()
    {
        env.folders = {dir.filePath("user").toStdString(), dir.filePath("system").toStdString()};
        env.desktops = {"XFCE"};
        env.path = {dir.filePath("bin").toStdString()};
    }
    void entry(const QString& relative, const QByteArray& body) { writeFile(dir.filePath(relative), body); }
    // Offered names by desktop-file ID.
    std::map<std::string, std::string> offered()
    {
        list.refresh(env);
        std::map<std::string, std::string> out;
        for (const desktop::Application& a : list.applications())
            out[a.id] = a.name;
        return out;
    }

    QTemporaryDir dir;
    desktop::Environment env;
    desktop::ApplicationList list;
};

QByteArray app(const QByteArray& name, const QByteArray& more = {})
{
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=prog %U\n" + more;
}

TEST_F(ApplicationListTest, OneEntryPerIdTheFirstFolderWinsAndOnlyShownApplicationsAreOffered)
{
    entry("user/shadowed.desktop", app("User copy"));
    entry("system/shadowed.desktop", app("System copy"));
    entry("system/kde/sub.desktop", app("Subfolder system"));
    entry("user/kde-sub.desktop", app("Subfolder\\suser")); // the same ID: kde-sub.desktop; "\s" is a blank
    entry("system/kde/other.desktop", app("Other in subfolder"));
    entry("user/deleted.desktop", app("Deleted", "Hidden=true\n")); // hides the system copy
    entry("system/deleted.desktop", app("Deleted system"));
    entry("system/nodisplay.desktop", app("No display", "NoDisplay=true\n"));
    entry("system/only-kde.desktop", app("Only KDE", "OnlyShowIn=KDE;\n"));
    entry("system/only-xfce.desktop", app("Only XFCE", "OnlyShowIn=GNOME;XFCE;\n"));
    entry("system/not-xfce.desktop", app("Not XFCE", "NotShowIn=XFCE;\n"));
    entry("system/link.desktop", "[Desktop Entry]\nType=Link\nName=Link\nURL=http://x\n");
    entry("system/tryexec-missing.desktop", app("Missing program", "TryExec=no-such-program\n"));
    writeFile(dir.filePath("bin/present"), "#!/bin/sh\n", true);
    entry("system/tryexec-present.desktop", app("Present program", "TryExec=present\n"));
    entry("system/dbus.desktop", "[Desktop Entry]\nType=Application\nName=Bus\nDBusActivatable=true\n");
    // Broken entries are ignored and leave their ID to the next folder's copy.
    entry("user/broken.desktop", "[Desktop Entry]\nType=Application\nExec=prog\n"); // no name
    entry("system/broken.desktop", app("Whole system copy"));
    entry("user/no-exec.desktop", "[Desktop Entry]\nType=Application\nName=No command\n");
    entry("user/no-group.desktop", "Name=Nothing\nExec=prog\n");
    entry("user/not-an-entry.txt", app("Wrong suffix"));

    const std::map<std::string, std::string> expected = {
        {"shadowed.desktop", "User copy"},
        {"kde-sub.desktop", "Subfolder user"},
        {"kde-other.desktop", "Other in subfolder"},
        {"only-xfce.desktop", "Only XFCE"},
        {"tryexec-present.desktop", "Present program"},
        {"dbus.desktop", "Bus"},
        {"broken.desktop", "Whole system copy"},
    };
    EXPECT_EQ(offered(), expected);

    // A refresh reads nothing again while nothing changed, and sees new, changed and
    // removed entries.
    EXPECT_FALSE(list.refresh(env));
    entry("user/shadowed.desktop", app("Renamed longer"));
    entry("user/new.desktop", app("New"));
    QFile::remove(dir.filePath("system/kde/other.desktop"));
    std::map<std::string, std::string> changed = expected;
    changed.erase("kde-other.desktop");
    changed["shadowed.desktop"] = "Renamed longer";
    changed["new.desktop"] = "New";
    EXPECT_EQ(offered(), changed);

    // Without a desktop named, entries for some desktops only are not offered.
    env.desktops.clear();
    const auto without = offered();
    EXPECT_EQ(std::pair(without.count("only-xfce.desktop"), without.count("not-xfce.desktop")), std::pair(std::size_t(0), std::size_t(1)));
}

TEST_F(ApplicationListTest, NamesCommentsAndKeywordsComeInTheUsersLanguage)
{
    const struct { const char* posix; const char* name; } rows[] = {
        {"de_AT.UTF-8@euro", "Österreich Euro"}, {"de_AT.UTF-8", "Österreich"}, {"de_CH", "Deutsch"},
        {"de@euro", "Deutsch Euro"},            {"fr_FR.UTF-8", "Plain"},       {"C", "Plain"},
        {"", "Plain"},
    };
    const QByteArray body = app("Plain", "Name[de]=Deutsch\nName[de_AT]=Österreich\nName[de_AT@euro]=Österreich Euro\n"
                                         "Name[de@euro]=Deutsch Euro\nComment=Plain comment\nComment[de]=Kommentar\n"
                                         "GenericName[de]=Art\nKeywords=a;b;\nKeywords[de]=x\\;y;z;\n");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.posix);
        env.locale = desktop::locale(row.posix);
        const desktop::Reading r = desktop::readApplication(body.toStdString(), env);
        ASSERT_EQ(r.verdict, desktop::Verdict::Offered);
        EXPECT_EQ(r.application.name, row.name);
    }
    env.locale = desktop::locale("de_DE.UTF-8");
    const desktop::Application a = desktop::readApplication(body.toStdString(), env).application;
    EXPECT_EQ(std::tuple(a.comment, a.genericName, a.keywords, a.exec),
              std::tuple("Kommentar", "Art", std::vector<std::string>{"x;y", "z"}, "prog %U"));
}

} // namespace
