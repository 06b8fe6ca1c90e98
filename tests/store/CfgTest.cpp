#include "store/Store.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

const std::string Header = "Quorrelind's Vyrelight Toolbars v2_[A1]";
using Code = StoreMessage::Code;

class Cfg : public ::testing::Test {
protected:
    TempDir dir;
    ToolbarSet set;

    std::string cfgPath() const { return dir.file("Toolbars.cfg"); }
    StoreMessages readFile(const std::string& bytes)
    {
        writeBytes(cfgPath(), bytes);
        return ReadCfg(set, dir.path());
    }
};

TEST_F(Cfg, MissingFileIsCreatedWithTheDefaultToolbar)
{
    StoreMessages m = ReadCfg(set, dir.path());
    EXPECT_TRUE(m.empty());
    EXPECT_EQ(readBytes(cfgPath()), Header + "\r\nDefault;1200;1200;;;0;0;0;-1;-1;0;0;\r\n");
    ASSERT_EQ(set.count(), 1);
    EXPECT_EQ(set.Tbrs[0].Path, dir.file("Default.vtb"));
    EXPECT_EQ(set.Tbrs[0].Visible, True16);
}

TEST_F(Cfg, ToolbarLineFieldsAndTheirWrittenForm)
{
    ASSERT_TRUE(readFile(Header + "\r\nDefault;1200;1200;;;0;0;0;-1;-1;0;0;\r\n"
                                  "Tools;300;450;C:\\Bars\\Tools.vtb;;0;-1;0;0;-1;0;1;\r\n")
                    .empty());
    ASSERT_EQ(set.TbrLast, 1);
    const TbrRec& t = set.Tbrs[1];
    EXPECT_EQ(std::tuple(t.Name, t.Top, t.Left, t.Path), std::tuple("Tools", 300, 450, "C:\\Bars\\Tools.vtb"));
    const Bool16 modes[] = {True16, False16, False16, True16, False16, True16}; // a 1 reads as on
    for (int m = 0; m < ModeCount; ++m)
        EXPECT_EQ(t.mode(m), modes[m]) << m;

    ASSERT_TRUE(WriteCfg(set, dir.path()).empty());
    EXPECT_EQ(readBytes(cfgPath()), Header + "\r\nDefault;1200;1200;;;0;0;0;-1;-1;0;0;\r\n"
                                             "Tools;300;450;C:\\Bars\\Tools.vtb;;0;-1;0;0;-1;0;-1;\r\n");
}

TEST_F(Cfg, ToolbarZeroAlwaysUsesTheDataFolderDefaultFile)
{
    const char* lines[] = {"Main;1;2;/elsewhere/Main.vtb;;0;0;0;0;-1;0;0;", "Main;", "Main"};
    for (const char* line : lines) {
        ASSERT_TRUE(readFile(Header + "\r\n" + line + "\r\n").empty());
        EXPECT_EQ(set.Tbrs[0].Path, dir.file("Default.vtb")) << line;
    }
    ASSERT_TRUE(readFile(Header + "\r\nMain;1;2;/elsewhere/Main.vtb;;0;0;0;0;-1;0;0;\r\n").empty());
    ASSERT_TRUE(WriteCfg(set, dir.path()).empty());
    EXPECT_EQ(readBytes(cfgPath()), Header + "\r\nMain;1;2;;;0;0;0;0;-1;0;0;\r\n");
}

TEST_F(Cfg, PartialAndMalformedFieldsKeepTheirEmptyValues)
{
    ASSERT_TRUE(readFile(Header + "\r\nD;\r\n"
                                  "Short;300;\r\n"
                                  "NoLast;1;2;p;i;3;-1;-1;-1;-1;-1;-1\r\n"
                                  "Bad;abc;1e2;p;i;abc;x;&H1;0;7;0;0;tail\r\n"
                                  "Icon;0;0;p;i;2.5;0;0;0;0;0;0;\r\n"
                                  "Huge;1e39;-1e39;p;i;40000;0;0;0;0;0;0;\r\n")
                    .empty());
    ASSERT_EQ(set.count(), 6);
    const struct {
        float top, left;
        int iconIndex;
        const char* modes; // 1 for True16, 0 for False16
    } expected[] = {
        {0, 0, 0, "000000"},   {300, 0, 0, "000000"},
        {1, 2, 3, "111110"},   // the twelfth field counts only with its ';'
        {0, 100, 0, "010100"}, {0, 0, 2, "000000"}, // halves round to even
        {0, 0, 0, "000000"},   // out of range
    };
    for (int t = 0; t < 6; ++t) {
        const TbrRec& r = set.Tbrs[t];
        std::string modes;
        for (int m = 0; m < ModeCount; ++m)
            modes += r.mode(m) == True16 ? '1' : r.mode(m) == False16 ? '0' : '?';
        EXPECT_EQ(std::tuple(r.Top, r.Left, int(r.IconIndex), modes),
                  std::tuple(expected[t].top, expected[t].left, expected[t].iconIndex, std::string(expected[t].modes)))
            << set.Tbrs[t].Name;
    }
}

TEST_F(Cfg, HeaderMustMatchExactly)
{
    const std::string wrong[] = {Header + " ", " " + Header, "quorrelind's vyrelight toolbars v2_[a1]",
                                 "Quorrelind's Vyrelight Toolbar v2_[A1]"};
    for (const std::string& first : wrong) {
        StoreMessages m = readFile(first + "\r\nDefault;1200;1200;;;0;0;0;-1;-1;0;0;\r\n");
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0], msg::cfgVersion(first));
        EXPECT_EQ(set.count(), 0);
        // A set that was never loaded is never written over the user's file.
        EXPECT_TRUE(WriteCfg(set, dir.path()).empty());
        EXPECT_EQ(readBytes(cfgPath()), first + "\r\nDefault;1200;1200;;;0;0;0;-1;-1;0;0;\r\n");
    }
}

TEST_F(Cfg, EveryLineEndIsAcceptedAndBlankLinesTakeNoIndex)
{
    const std::string bodies[] = {
        Header + "\r\nA;1;2;;;0;0;0;0;0;0;0;\r\n\r\n   \r\nB;3;4;b.vtb;;0;0;0;0;0;0;0;\r\n",
        Header + "\nA;1;2;;;0;0;0;0;0;0;0;\n\n \t\nB;3;4;b.vtb;;0;0;0;0;0;0;0;",
        Header + "\rA;1;2;;;0;0;0;0;0;0;0;\r\r\rB;3;4;b.vtb;;0;0;0;0;0;0;0;\r",
    };
    for (const std::string& body : bodies) {
        ASSERT_TRUE(readFile(body).empty());
        ASSERT_EQ(set.count(), 2);
        EXPECT_EQ(set.Tbrs[0].Name, "A");
        EXPECT_EQ(set.Tbrs[1].Name, "B");
        EXPECT_EQ(set.Tbrs[1].Left, 4);
    }
}

TEST_F(Cfg, WellFormedFilesRoundTripByteForByte)
{
    const std::string files[] = {
        Header + "\r\nDefault;1200;1200;;;0;0;0;-1;-1;0;0;\r\n",
        Header + "\r\nD\xc3\xa9" "faut;-300;0;;/i c\xf4ns/x.ico;2;-1;-1;-1;-1;-1;-1;\r\n"
                 "\xe6\x97\xa5\xe6\x9c\xac;1.5;435.1;/b\xff/\xe6\x97\xa5.vtb;\x01\x7f;-32768;0;0;0;0;0;0;\r\n",
    };
    for (const std::string& file : files) {
        ASSERT_TRUE(readFile(file).empty());
        ASSERT_TRUE(WriteCfg(set, dir.path()).empty());
        EXPECT_EQ(readBytes(cfgPath()), file);
    }
}

TEST_F(Cfg, OnlyTheFirst256ToolbarsAreLoadedAndTheWholeFileIsKept)
{
    std::string body = Header + "\r\n";
    for (int i = 0; i < 300; ++i)
        body += "T" + std::to_string(i) + ";" + std::to_string(i) + ";0;t.vtb;;0;0;0;0;-1;0;0;\r\n";
    StoreMessages m = readFile(body);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0], msg::tooManyToolbars(44, cfgPath() + ".bak"));
    EXPECT_EQ(set.TbrLast, 255);
    EXPECT_EQ(set.Tbrs[255].Name, "T255");
    EXPECT_EQ(set.Tbrs[255].Top, 255);

    ASSERT_TRUE(WriteCfg(set, dir.path()).empty());
    EXPECT_EQ(readBytes(cfgPath() + ".bak"), body);
    // Reading again does not pile up copies of the same content.
    writeBytes(cfgPath(), body);
    ASSERT_EQ(ReadCfg(set, dir.path()).size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(cfgPath() + ".bak2"));
}

TEST_F(Cfg, TextFieldsCannotBreakTheLineStructure)
{
    ASSERT_TRUE(ReadCfg(set, dir.path()).empty());
    set.RedimTbrs(1);
    set.TbrLast = 1;
    set.Tbrs[1].Name = "a;b\r\nc";
    set.Tbrs[1].Path = "/x;y.vtb";
    set.Tbrs[1].Top = 10;
    ASSERT_TRUE(WriteCfg(set, dir.path()).empty());
    ToolbarSet again;
    ASSERT_TRUE(ReadCfg(again, dir.path()).empty());
    ASSERT_EQ(again.count(), 2);
    EXPECT_EQ(again.Tbrs[1].Name, "a,b  c");
    EXPECT_EQ(again.Tbrs[1].Path, "/x,y.vtb");
    EXPECT_EQ(again.Tbrs[1].Top, 10);
}

TEST_F(Cfg, NoToolbarLinesOrNoReadableFileIsAReadErrorThatSaysWhy)
{
    const struct {
        std::string body;
        const char* why;
    } rows[] = {
        {Header + "\r\n", "holds no toolbar line"}, {Header, "holds no toolbar line"},
        {Header + "\r\n  \r\n", "holds no toolbar line"}, {std::string(), "is empty"},
    };
    for (const auto& row : rows) {
        StoreMessages m = readFile(row.body);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].code, Code::R_0001);
        EXPECT_EQ(m[0].reason, cfgPath() + " " + row.why);
        EXPECT_EQ(set.count(), 0);
    }
    std::filesystem::remove(cfgPath());
    std::filesystem::create_directory(cfgPath());
    const struct {
        std::string folder;
        const char* why;
    } unreadable[] = {
        {dir.path(), "is not a file"},
        {dir.file("missing-folder"), "No such file or directory"}, // and cannot be created
    };
    for (const auto& row : unreadable) {
        StoreMessages m = ReadCfg(set, row.folder);
        ASSERT_EQ(m.size(), 1u) << row.folder;
        EXPECT_EQ(m[0].code, Code::R_0001);
        EXPECT_NE(m[0].reason.find(row.why), std::string::npos) << m[0].reason;
        EXPECT_NE(m[0].reason.find(row.folder), std::string::npos) << m[0].reason;
    }
}

} // namespace
