#include "store/FileAccess.h"
#include "store/Store.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Makes writes beyond a few bytes fail as on a full disk, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int){};
};

ToolbarSet defaultSet(const std::string& folder)
{
    ToolbarSet set;
    EXPECT_TRUE(ReadCfg(set, folder).empty());
    return set;
}

TEST(AtomicSave, FailedWritesReportAndKeepTheOldFileWhole)
{
    TempDir dir;
    ToolbarSet set = defaultSet(dir.path());
    const std::string before = readBytes(dir.file("Toolbars.cfg"));
    set.Tbrs[0].Name = std::string(100'000, 'N');
    {
        FileSizeLimit full(64);
        StoreMessages m = WriteCfg(set, dir.path());
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].code, StoreMessage::Code::W_0002);
        EXPECT_NE(m[0].reason.find("File too large"), std::string::npos) << m[0].reason;
    }
    EXPECT_EQ(readBytes(dir.file("Toolbars.cfg")), before);
    EXPECT_EQ(countEntries(dir.path()), 1) << "no temporary file stays behind";

    // The data folder has gone, or its path now leads through a plain file.
    EXPECT_EQ(WriteCfg(set, dir.file("gone")).size(), 1u);
    writeBytes(dir.file("plain"), "x");
    EXPECT_EQ(WriteCfg(set, dir.file("plain")).size(), 1u);
    EXPECT_EQ(readBytes(dir.file("plain")), "x");
}

TEST(AtomicSave, AFolderInTheFilesPlaceIsAWriteError)
{
    TempDir dir;
    TbrRec tbr;
    tbr.Path = dir.file("Tools.vtb");
    fs::create_directory(tbr.Path);
    StoreMessages m = WriteBtns(tbr);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].code, StoreMessage::Code::W_0004);
    EXPECT_EQ(m[0].reason.rfind("cannot replace " + tbr.Path + ": ", 0), 0u) << m[0].reason;
    EXPECT_TRUE(fs::is_directory(tbr.Path));
    EXPECT_EQ(countEntries(dir.path()), 1);
}

TEST(AtomicSave, ReplacingKeepsPermissionsAndFollowsLinks)
{
    TempDir dir;
    const std::string real = dir.file("real.vtb");
    writeBytes(real, "old");
    chmod(real.c_str(), 0640);
    fs::create_symlink(real, dir.file("link.vtb"));

    ASSERT_TRUE(WriteFileAtomically(dir.file("link.vtb"), "new").ok());
    EXPECT_TRUE(fs::is_symlink(dir.file("link.vtb")));
    EXPECT_EQ(readBytes(real), "new");
    struct stat st {};
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(countEntries(dir.path()), 2);
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

TEST(FileAccess, ExistenceAndWholeReadsOfWhatTheFormatsMeet)
{
    TempDir dir;
    const std::string file = dir.file("Tools.vtb");
    const std::string big(200'000, 'b');
    writeBytes(file, big);
    writeBytes(dir.file("empty"), "");
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);

    EXPECT_TRUE(FileMayExist(file));
    EXPECT_TRUE(FileMayExist(dir.path()));
    EXPECT_FALSE(FileMayExist(dir.file("missing")));
    EXPECT_FALSE(FileMayExist(file + "/below-a-file")); // not a folder: nothing can be there

    EXPECT_EQ(ReadFileBytes(file).value(), big);
    EXPECT_EQ(ReadFileBytes(dir.file("empty")).value(), "");
    const struct {
        std::string path;
        std::string reason;
    } failures[] = {
        {dir.file("missing"), "cannot read " + dir.file("missing") + ": No such file or directory"},
        {dir.path(), dir.path() + " is not a file"},
        {dir.file("pipe"), dir.file("pipe") + " is not a file"}, // and does not wait for a writer
    };
    for (const auto& f : failures)
        EXPECT_EQ(ReadFileBytes(f.path).reason(), f.reason);
}

} // namespace
