#include "store/FileAccess.h"
#include "store/Store.h"

#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Records the calls a save makes, in order, with the file each concerns.
struct RecordingCalls : FileCalls {
    mutable std::vector<std::string> calls;
    mutable std::map<int, std::string> kind; // numbers are reused: the latest open counts
    void note(const char* call, int fd) const { calls.push_back(call + (" " + kind[fd])); }
    int open(const char* path, int flags, unsigned mode) const override
    {
        const int fd = FileCalls::open(path, flags, mode);
        kind[fd] = (flags & O_DIRECTORY) ? "folder" : "temporary";
        return note("open", fd), fd;
    }
    long write(int fd, const void* data, std::size_t size) const override { return note("write", fd), FileCalls::write(fd, data, size); }
    int fsync(int fd) const override { return note("fsync", fd), failFsync ? (errno = EIO, -1) : FileCalls::fsync(fd); }
    bool failFsync = false; // as a disk that could not take the data
    int close(int fd) const override { return note("close", fd), FileCalls::close(fd); }
    int rename(const char* from, const char* to) const override { return calls.push_back("rename"), FileCalls::rename(from, to); }
    int unlink(const char* path) const override { return calls.push_back("unlink"), FileCalls::unlink(path); }
};

TEST(AtomicSave, TheNewFileReachesTheDiskBeforeItReplacesTheOldOne)
{
    TempDir dir;
    const std::string file = dir.file("Toolbars.cfg");
    writeBytes(file, "old");
    RecordingCalls calls;
    ASSERT_TRUE(writeFileAtomically(file, "new", calls).ok());
    EXPECT_EQ(calls.calls, (std::vector<std::string>{"open temporary", "write temporary", "fsync temporary", "close temporary",
                                                     "rename", "open folder", "fsync folder", "close folder"}));
    // Data that never reached the disk is a failed save, and the old file stays whole.
    calls.failFsync = true;
    EXPECT_FALSE(writeFileAtomically(file, "newer", calls).ok());
    EXPECT_EQ(std::pair(readBytes(file), dir.entries()), std::pair(std::string("new"), 1));
}

// A full disk, a read-only file, a folder gone: the save says why, and the old file stays
// whole with no temporary file beside it.
TEST(AtomicSave, AFailedOrRefusedWriteSaysWhyAndLeavesTheOldFileWhole)
{
    TempDir dir;
    ToolbarSet set;
    ASSERT_TRUE(ReadCfg(set, dir.path).empty());
    const std::string cfg = dir.file("Toolbars.cfg"), before = readBytes(cfg);
    set.Tbrs[0].Name = std::string(100'000, 'N');
    // Writes beyond 64 bytes fail.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit full{64, old.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &full);
    const StoreMessages m = WriteCfg(set, dir.path);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(std::tuple(m[0].code, m[0].reason.find("File too large") != std::string::npos, readBytes(cfg), dir.entries()),
              std::tuple(StoreMessage::Code::W_0002, true, before, 1));
    chmod(cfg.c_str(), 0444);
    EXPECT_EQ(WriteCfg(set, dir.path), StoreMessages{msg::cfgReadOnly(cfg)});
    EXPECT_EQ(writeFileAtomically(cfg, "x").reason(), cfg + " is read-only");
    EXPECT_EQ(std::pair(readBytes(cfg), dir.entries()), std::pair(before, 1));
    chmod(cfg.c_str(), 0644);
    EXPECT_TRUE(WriteCfg(set, dir.path).empty());
    EXPECT_EQ(WriteCfg(set, dir.file("gone")).size(), 1u);
}

// A link to a regular file is written through, a dangling one makes its target, and the
// permissions stay; a link to anything else, or that thing itself, is refused and left
// exactly as it was.
TEST(AtomicSave, LinksAreFollowedToRegularFilesAndNothingElseIsReplaced)
{
    TempDir dir;
    const std::string real = dir.file("real.vtb"), link = dir.file("link.vtb");
    writeBytes(real, "old");
    chmod(real.c_str(), 0640);
    fs::create_symlink(real, link);
    fs::create_symlink("made.vtb", dir.file("dangling.vtb")); // relative
    ASSERT_TRUE(writeFileAtomically(link, "new").ok());
    ASSERT_TRUE(writeFileAtomically(dir.file("dangling.vtb"), "made").ok());
    EXPECT_TRUE(fs::is_symlink(link) && fs::is_symlink(dir.file("dangling.vtb")));
    EXPECT_EQ(std::tuple(readBytes(real) + readBytes(dir.file("made.vtb")), fs::status(real).permissions()),
              std::tuple("newmade", fs::perms(0640)));
    ASSERT_EQ(mkfifo(dir.file("pipe").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder"));
    fs::create_symlink(dir.file("pipe"), dir.file("to-pipe"));
    fs::create_symlink(dir.file("folder"), dir.file("to-folder"));
    fs::create_symlink("loop-b", dir.file("loop-a"));
    fs::create_symlink("loop-a", dir.file("loop-b"));
    for (auto [name, target, type] : {std::tuple("pipe", "pipe", fs::file_type::fifo), {"to-pipe", "pipe", fs::file_type::fifo},
                                      {"to-folder", "folder", fs::file_type::directory},
                                      {"loop-a", "loop-b", fs::file_type::symlink}}) {
        const Result<void> written = writeFileAtomically(dir.file(name), "new");
        EXPECT_NE(written.ok() ? std::string::npos : written.reason().find("is not a regular file"), std::string::npos) << name;
        EXPECT_EQ(fs::symlink_status(dir.file(target)).type(), type) << name;
    }
    EXPECT_EQ(dir.entries(), 10); // and no temporary file left beside them
}

TEST(AtomicSave, StaleTemporariesOfOurOwnAreRemovedAtStartUpAndNothingElse)
{
    TempDir dir;
    const std::vector<std::string> ours = {".Toolbars.cfg.tmp-123-4567-0", ".Default.vtb.tmp-9-8-7"};
    const std::vector<std::string> others = {".Other.vtb.tmp-1-2-3", ".Toolbars.cfg.tmp-1--3", ".Toolbars.cfg.tmp-1-2",
                                             ".Toolbars.cfg.tmp-1-2-x", "Toolbars.cfg.tmp-1-2-3"}; // sorted
    for (const auto& name : ours)
        writeBytes(dir.file(name), "half a save");
    for (const auto& name : others)
        writeBytes(dir.file(name), "not ours");
    ToolbarSet set;
    ASSERT_TRUE(ReadCfg(set, dir.path).empty());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path))
        if (entry.path().filename().string().find(".tmp-") != std::string::npos)
            left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, others);
}

// The copy kept of a file is a file of its own, made once per content.
TEST(AtomicSave, KeptCopiesAreFilesOfTheirOwnMadeOncePerContent)
{
    TempDir dir;
    const std::string file = dir.file("Tools.vtb");
    writeBytes(file, "first");
    EXPECT_EQ(keepOriginal(file).value() + keepOriginal(file).value(), file + ".bak" + file + ".bak");
    writeBytes(file, "second"); // edited in place, as a shell redirection or most editors do: not a link
    EXPECT_EQ(keepOriginal(file).value(), file + ".bak2");
    EXPECT_EQ(std::tuple(readBytes(file + ".bak"), readBytes(file + ".bak2"), dir.entries()), std::tuple("first", "second", 3));
    writeBytes(dir.file("empty"), "");
    EXPECT_EQ(keepOriginal(dir.file("empty")).value() + keepOriginal(dir.file("missing")).value(), "");
}

// Nothing is below a plain file; a pipe is not read as a file; a path holding a NUL byte
// names no file, and nothing is made for it.
TEST(FileAccess, WhatMayExistAndWhatIsReadAsAFile)
{
    TempDir dir;
    const std::string file = dir.file("Tools.vtb"), pipe = dir.file("pipe");
    writeBytes(file, "x");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(std::tuple(fileMayExist(file), fileMayExist(dir.path), fileMayExist(dir.file("missing")),
                         fileMayExist(file + "/below")),
              std::tuple(true, true, false, false));
    EXPECT_EQ(readFileBytes(pipe).reason(), pipe + " is not a file"); // and does not wait for a writer
    EXPECT_EQ(readFileBytes(dir.file("missing")).reason(), "cannot read " + dir.file("missing") + ": No such file or directory");
    fs::remove(file);
    fs::remove(pipe);
    TbrRec tbr;
    tbr.Name = "Tools";
    tbr.Path = dir.file("a") + std::string(1, '\0') + "b.vtb";
    const StoreMessages read = ReadBtns(tbr), written = WriteBtns(tbr);
    ASSERT_EQ(read.size() + written.size(), 2u);
    EXPECT_EQ(std::pair(read[0].code, written[0].code), std::pair(StoreMessage::Code::R_0003, StoreMessage::Code::W_0004));
    EXPECT_NE(read[0].reason.find("NUL"), std::string::npos) << read[0].reason;
    EXPECT_FALSE(writeFileAtomically(tbr.Path, "x").ok());
    // Such a path "may exist", so that nothing tries to make it.
    EXPECT_EQ(std::pair(fileMayExist(tbr.Path), dir.entries()), std::pair(true, 0));
}

TEST(FileAccess, ARelativeToolbarFileLivesInTheDataFolderWhateverTheCurrentFolder)
{
    TempDir dir, elsewhere;
    writeBytes(dir.file("Toolbars.cfg"), std::string(msg::CfgHeader) + "\r\nDefault;1;1;;;0;0;0;-1;-1;0;0;\r\n"
                                             "Second;1;1;second.vtb;;0;0;0;-1;-1;0;0;\r\n");
    writeBytes(dir.file("second.vtb"), std::string(msg::VtbHeader) + "\r\nA;/bin/true;;1;;0;\r\n");
    const fs::path was = fs::current_path();
    fs::current_path(elsewhere.path);
    ToolbarSet set;
    ASSERT_TRUE(ReadCfg(set, dir.path).empty());
    ASSERT_EQ(set.count(), 2);
    const bool done = ReadBtns(set.Tbrs[1]).empty() && WriteBtns(set.Tbrs[1]).empty() && WriteCfg(set, dir.path).empty();
    fs::current_path(was);
    EXPECT_TRUE(done);
    EXPECT_EQ(std::tuple(int(set.Tbrs[1].BtnCount), toolbarFilePath(set.Tbrs[1]), elsewhere.entries()),
              std::tuple(1, dir.file("second.vtb"), 0));
    EXPECT_NE(readBytes(dir.file("Toolbars.cfg")).find(";second.vtb;"), std::string::npos); // kept as written
    // A record added later takes the data folder too; without one a relative path names no file.
    set.RedimTbrs(2);
    EXPECT_EQ(set.Tbrs[2].Folder, dir.path);
    TbrRec loose;
    loose.Path = "loose.vtb";
    EXPECT_EQ(ReadBtns(loose).size(), 1u);
}

} // namespace
