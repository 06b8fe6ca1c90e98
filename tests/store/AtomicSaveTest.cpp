#include "store/FileAccess.h"
#include "store/Store.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>

namespace fs = std::filesystem;

namespace {

TEST(AtomicSave, FailedWriteSaysWhyAndLeavesTheOldFileWholeAndNoTemporaryFile)
{
    TempDir dir;
    ToolbarSet set;
    ASSERT_TRUE(ReadCfg(set, dir.path).empty());
    const std::string before = readBytes(dir.file("Toolbars.cfg"));
    set.Tbrs[0].Name = std::string(100'000, 'N');
    // A full disk: writes beyond 64 bytes fail.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit full{64, old.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &full);
    StoreMessages m = WriteCfg(set, dir.path);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].code, StoreMessage::Code::W_0002);
    EXPECT_NE(m[0].reason.find("File too large"), std::string::npos) << m[0].reason;
    EXPECT_EQ(readBytes(dir.file("Toolbars.cfg")), before);

    TbrRec tbr;
    tbr.Path = dir.file("Tools.vtb");
    fs::create_directory(tbr.Path);
    EXPECT_EQ(WriteBtns(tbr), StoreMessages{msg::fileError(StoreMessage::Code::W_0004,
                                                            "cannot replace " + tbr.Path + ": Is a directory")});
    EXPECT_EQ(dir.entries(), 2);
    EXPECT_EQ(WriteCfg(set, dir.file("gone")).size(), 1u); // the data folder has gone
}

TEST(AtomicSave, ReplacingKeepsPermissionsAndFollowsLinks)
{
    TempDir dir;
    const std::string real = dir.file("real.vtb"), link = dir.file("link.vtb");
    writeBytes(real, "old");
    chmod(real.c_str(), 0640);
    fs::create_symlink(real, link);
    ASSERT_TRUE(WriteFileAtomically(link, "new").ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), "new");
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0640));
    EXPECT_EQ(dir.entries(), 2);
}

TEST(AtomicSave, KeptCopiesAreMadeOncePerContent)
{
    TempDir dir;
    const std::string file = dir.file("Tools.vtb");
    writeBytes(file, "first");
    EXPECT_EQ(KeepOriginal(file), file + ".bak");
    EXPECT_EQ(KeepOriginal(file), file + ".bak");
    ASSERT_TRUE(WriteFileAtomically(file, "second").ok());
    EXPECT_EQ(readBytes(file + ".bak"), "first");
    EXPECT_EQ(KeepOriginal(file), file + ".bak2");
    EXPECT_EQ(readBytes(file + ".bak2"), "second");
    writeBytes(dir.file("empty"), "");
    EXPECT_EQ(KeepOriginal(dir.file("empty")), "");
}

TEST(FileAccess, NothingIsBelowAPlainFileAndAPipeIsNotReadAsAFile)
{
    TempDir dir;
    const std::string file = dir.file("Tools.vtb"), pipe = dir.file("pipe");
    writeBytes(file, "x");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(std::tuple(FileMayExist(file), FileMayExist(dir.path), FileMayExist(dir.file("missing")),
                         FileMayExist(file + "/below")),
              std::tuple(true, true, false, false));
    EXPECT_EQ(ReadFileBytes(pipe).reason(), pipe + " is not a file"); // and does not wait for a writer
    EXPECT_EQ(ReadFileBytes(dir.file("missing")).reason(), "cannot read " + dir.file("missing") + ": No such file or directory");
}

} // namespace
