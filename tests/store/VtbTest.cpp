#include "store/Store.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace {

const std::string Header = "Quorrelind's Vyrelight Toolbar v2_[A1]";
using Code = StoreMessage::Code;

class Vtb : public ::testing::Test {
protected:
    TempDir dir;
    TbrRec tbr;

    void SetUp() override { tbr.Path = dir.file("Tools.vtb"); }
    StoreMessages readFile(const std::string& bytes)
    {
        writeBytes(tbr.Path, bytes);
        return ReadBtns(tbr);
    }
    static BtnRec button(std::string name, std::string exe, std::uint8_t kind = KindFile)
    {
        BtnRec b;
        b.Name = std::move(name);
        b.Executable = std::move(exe);
        b.Kind = kind;
        return b;
    }
};

TEST_F(Vtb, MissingFileIsCreatedWithTheHeaderAlone)
{
    tbr.BtnCount = 5;
    EXPECT_TRUE(ReadBtns(tbr).empty());
    EXPECT_EQ(tbr.BtnCount, 0);
    EXPECT_EQ(readBytes(tbr.Path), Header + "\r\n");
}

TEST_F(Vtb, ButtonFieldsEmptyLinesAndNumberForms)
{
    ASSERT_TRUE(readFile(Header + "\r\nTools;!RecallTbr>>>;2;1;;0;\r\n\r\n;;;4;;0;\n"
                                  "\rGimp;/usr/bin/gimp;-n \"a b\";1;/i.ico;3;ignored\r\n"
                                  "a;x;;&H3;;2.5;\r\nb;x;; 1e0 ;;  -7 ;\r\nc;x;;2.5;;abc;\r\n")
                    .empty());
    ASSERT_EQ(tbr.BtnCount, 6);
    const BtnRec& gimp = tbr.Btns[3];
    EXPECT_EQ(std::tuple(gimp.Name, gimp.Executable, gimp.Parameters, gimp.Kind, gimp.IconFile, gimp.IconIndex),
              std::tuple("Gimp", "/usr/bin/gimp", "-n \"a b\"", KindFile, "/i.ico", 3));
    EXPECT_EQ(tbr.Btns[1].Executable, RecallMarker);
    EXPECT_EQ(tbr.Btns[2].Kind, KindSeparator);
    // Kind and IconIndex: hex, blanks, exponents; halves round to even; junk reads as 0.
    const std::pair<int, int> numbers[] = {{3, 2}, {1, -7}, {2, 0}};
    for (int k = 4; k <= 6; ++k)
        EXPECT_EQ(std::pair(int(tbr.Btns[k].Kind), int(tbr.Btns[k].IconIndex)), numbers[k - 4]) << k;
}

TEST_F(Vtb, MalformedLineKeepsTheButtonsBeforeItAndThePartialOne)
{
    const struct {
        const char* line;
        const char* name;
        const char* exe;
        int kind;
    } cases[] = {
        {"Bad;/x;;1;/i.ico;5", "Bad", "/x", 1},  // no last ";"
        {"Bad;/x;;256;;0;", "Bad", "/x", 0},     // Kind out of range
        {"Bad;/x;;-1;;0;", "Bad", "/x", 0},
        {"Bad;/x;;;;0;", "Bad", "/x", 0},        // Kind empty
        {"Bad;/x;;one;;0;", "Bad", "/x", 0},
        {"Bad;/x;;1;;32768;", "Bad", "/x", 1},   // IconIndex out of 16 bits
        {"Bad", "", "", 0},
        {"  ", "", "", 0},                       // a line of blanks is not an empty line
    };
    for (const auto& c : cases) {
        const std::string body = Header + "\r\nOne;/bin/one;;1;;0;\r\n" + c.line + "\r\nThree;/bin/3;;1;;0;\r\n";
        StoreMessages m = readFile(body);
        ASSERT_EQ(m.size(), 1u) << c.line;
        EXPECT_EQ(m[0].code, Code::R_0003);
        // The details point at the line and at the copy of the whole file.
        EXPECT_EQ(m[0].reason, tbr.Path + ", line 3: not a button line; the complete file was kept as "
                                   + tbr.Path + ".bak");
        ASSERT_EQ(tbr.BtnCount, 2) << c.line;
        EXPECT_EQ(tbr.Btns[1].Name, "One");
        EXPECT_EQ(tbr.Btns[2].Name, c.name);
        EXPECT_EQ(tbr.Btns[2].Executable, c.exe);
        EXPECT_EQ(tbr.Btns[2].Kind, c.kind);
        EXPECT_EQ(tbr.Btns[2].IconIndex, 0);
        // A later save writes only what was loaded; the complete file survives as a copy.
        ASSERT_TRUE(WriteBtns(tbr).empty());
        EXPECT_EQ(readBytes(tbr.Path + ".bak"), body);
        std::filesystem::remove(tbr.Path + ".bak");
    }
}

TEST_F(Vtb, AFortyFirstButtonIsAReadErrorAndTheFirstFortyStay)
{
    std::string body = Header + "\r\n";
    for (int k = 1; k <= 41; ++k)
        body += "B" + std::to_string(k) + ";/bin/b;;1;;0;\r\n";
    StoreMessages m = readFile(body);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].code, Code::R_0003);
    EXPECT_NE(m[0].reason.find("line 42: more than 40 buttons"), std::string::npos) << m[0].reason;
    EXPECT_EQ(tbr.BtnCount, 40);
    EXPECT_EQ(tbr.Btns[40].Name, "B40");

    body.resize(body.rfind("B41"));
    EXPECT_TRUE(readFile(body).empty());
    EXPECT_EQ(tbr.BtnCount, 40);
}

TEST_F(Vtb, WrongHeaderLeavesTheFileAndTheToolbarEmpty)
{
    const std::string wrong[] = {Header + " ", "Quorrelind's Vyrelight Toolbars v2_[A1]", "\x89PNG"};
    for (const std::string& first : wrong) {
        const std::string body = first + "\r\nA;/a;;1;;0;\r\n";
        StoreMessages m = readFile(body);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0], msg::vtbVersion(tbr.Path));
        EXPECT_EQ(tbr.BtnCount, 0);
        EXPECT_EQ(readBytes(tbr.Path), body);
    }
}

TEST_F(Vtb, WritingLeavesOutBlankButtonsButKeepsSeparators)
{
    tbr.BtnCount = 4;
    tbr.Btns[1] = button("One", "/bin/one");
    tbr.Btns[2] = button("Two", "  ");
    tbr.Btns[3] = button("", "", KindSeparator);
    tbr.Btns[4] = button("Tools", RecallMarker);
    tbr.Btns[4].Parameters = "2";
    ASSERT_TRUE(WriteBtns(tbr).empty());
    EXPECT_EQ(readBytes(tbr.Path), Header + "\r\nOne;/bin/one;;1;;0;\r\n;;;4;;0;\r\nTools;!RecallTbr>>>;2;1;;0;\r\n");

    ASSERT_TRUE(ReadBtns(tbr).empty());
    ASSERT_EQ(tbr.BtnCount, 3);
    EXPECT_EQ(tbr.Btns[2].Kind, KindSeparator);
    EXPECT_EQ(tbr.Btns[3].Executable, RecallMarker);
}

TEST_F(Vtb, WellFormedFilesRoundTripByteForByte)
{
    const std::string files[] = {
        Header + "\r\n",
        Header + "\r\n\xe6\x97\xa5;/opt/\xff\xfe/x;--a=\"b c\";3;/ic\xc3\xb4n.ico;-32768;\r\n;;;4;;0;\r\n"
                 "\x01;\x7f;\t;1;\t;32767;\r\n",
    };
    for (const std::string& file : files) {
        ASSERT_TRUE(readFile(file).empty());
        ASSERT_TRUE(WriteBtns(tbr).empty());
        EXPECT_EQ(readBytes(tbr.Path), file);
    }
}

TEST_F(Vtb, TenMegabyteLinesAndBinaryGarbageAreRead)
{
    std::string big(10'000'000, 'n');
    ASSERT_TRUE(readFile(Header + "\r\n" + big + ";/x;;1;;0;\r\n").empty());
    EXPECT_EQ(tbr.Btns[1].Name.size(), big.size());

    std::string garbage = Header + "\n";
    for (int i = 0; i < 1'000'000; ++i)
        garbage += static_cast<char>((i * 7919) & 0xff);
    readFile(garbage); // any outcome but a crash or a hang
    EXPECT_LE(tbr.BtnCount, 40);
}

TEST_F(Vtb, PathsThatAreNotFilesAreReadErrorsThatSayWhy)
{
    tbr.Name = "Tools";
    const struct {
        std::string path;
        std::string why;
    } rows[] = {
        {"", "the toolbar \"Tools\" names no toolbar file"},
        {dir.path(), dir.path() + " is not a file"},
        {dir.file("no-folder/x.vtb"), "No such file or directory"},
        {"/dev/null", "/dev/null is not a file"},
    };
    for (const auto& row : rows) {
        tbr.Path = row.path;
        StoreMessages m = ReadBtns(tbr);
        ASSERT_EQ(m.size(), 1u) << row.path;
        EXPECT_EQ(m[0].code, Code::R_0003);
        EXPECT_NE(m[0].reason.find(row.why), std::string::npos) << m[0].reason;
    }
}

} // namespace
