#include "platform/named_file_write.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(ForeignLink, OnlyInSharedStickyFoldersAndOnlyOfOthers)
{
    const unsigned me = geteuid();
    const unsigned other = me + 1000;
    const unsigned third = me + 2000;
    struct Case
    {
        const char* what;
        unsigned mode, folderOwner, linkOwner;
        bool foreign;
    };
    const std::vector<Case> cases = {
        { "another's link in /tmp", 01777, 0, other, true },
        { "my own link in /tmp", 01777, 0, me, false },
        { "the folder owner's link", 01777, third, third, false },
        { "sticky but not world-writable", 01770, third, other, false },
        { "world-writable but not sticky", 0777, third, other, false },
        { "a private folder", 0700, other, other, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsForeignLink(S_IFDIR | c.mode, c.folderOwner, c.linkOwner), c.foreign);
    }
}

class NamedFileWrite : public testing::Test
{
protected:
    ScratchDir m_scratch { "named-write-" };
};

// A plain name is replaced in one step: a new file (new inode) with the old one's permissions.
TEST_F(NamedFileWrite, PlainNameIsReplacedInOneStep)
{
    const std::string path = m_scratch.File("out.gpl");
    WriteBytes(path, "old content");
    fs::permissions(path, fs::perms(0604));
    struct stat before = {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_EQ(WriteNamedFile(path, "new").kind, NamedFileWriteError::None);
    struct stat after = {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0604u);
}

// The user's own link is written through, as the shell's ">" would: the file it names changes in
// place and the link stays a link; a dangling one makes its file.
TEST_F(NamedFileWrite, OwnLinkIsWrittenThroughInPlace)
{
    const std::string target = m_scratch.File("real.gpl");
    const std::string link = m_scratch.File("link.gpl");
    WriteBytes(target, "a longer old content");
    fs::create_symlink(target, link);
    struct stat before = {};
    ASSERT_EQ(stat(target.c_str(), &before), 0);
    EXPECT_EQ(WriteNamedFile(link, "new").kind, NamedFileWriteError::None);
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    struct stat after = {};
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);

    const std::string dangling = m_scratch.File("dangling.gpl");
    fs::create_symlink(m_scratch.File("made.gpl"), dangling);
    EXPECT_EQ(WriteNamedFile(dangling, "made").kind, NamedFileWriteError::None);
    EXPECT_EQ(ReadBytes(m_scratch.File("made.gpl")), "made");
}

// What is not a file is refused for what it is, without blocking (a FIFO has no reader here), and
// stays as it was.
TEST_F(NamedFileWrite, RefusesWhatIsNoFile)
{
    const std::string fifo = m_scratch.File("fifo.gpl");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string fifoLink = m_scratch.File("fifo-link.gpl");
    fs::create_symlink(fifo, fifoLink);
    fs::create_directory(m_scratch.File("folder.gpl"));
    struct Case
    {
        const char* what;
        std::string path;
        NamedFileWriteError::Kind kind;
        int error;
    };
    const std::vector<Case> cases = {
        { "FIFO", fifo, NamedFileWriteError::NotAFile, S_IFIFO },
        // Opening a FIFO for writing without a reader fails at once instead of waiting for one.
        { "link to a FIFO", fifoLink, NamedFileWriteError::System, ENXIO },
        { "folder", m_scratch.File("folder.gpl"), NamedFileWriteError::System, EISDIR },
        { "device", "/dev/null", NamedFileWriteError::NotAFile, S_IFCHR },
        { "missing folder", m_scratch.File("no/out.gpl"), NamedFileWriteError::System, ENOENT },
        { "trailing slash", m_scratch.File("x/"), NamedFileWriteError::System, EISDIR },
        { "empty", "", NamedFileWriteError::System, ENOENT },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const NamedFileWriteError got = WriteNamedFile(c.path, "x");
        EXPECT_EQ(got.kind, c.kind);
        EXPECT_EQ(got.error, c.error);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_FALSE(fs::exists(m_scratch.File("no")));
}

TEST_F(NamedFileWrite, WriteProtectedFileStaysAsItWas)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const std::string path = m_scratch.File("ro.gpl");
    WriteBytes(path, "kept");
    fs::permissions(path, fs::perms(0444));
    const NamedFileWriteError got = WriteNamedFile(path, "x");
    EXPECT_EQ(got.kind, NamedFileWriteError::System);
    EXPECT_EQ(got.error, EACCES);
    EXPECT_EQ(ReadBytes(path), "kept");
}

} // namespace
