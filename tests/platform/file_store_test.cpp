#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_store.h"
#include "platform/file_watch.h"
#include "tests/test_files.h"

namespace {

TEST(FileStore, AtomicWritesReplaceWholeAndLeaveNoTemporaryFile) {
    ScratchDir dir("file_store");
    ASSERT_TRUE(platform::MakeFolders(dir.File("a/b/c")));
    ASSERT_TRUE(platform::MakeFolders(dir.File("a/b/c")));  // already there
    const std::string path = dir.File("a/b/c/f.txt");
    ASSERT_TRUE(platform::WriteFileAtomically(path, "first", 5));
    ASSERT_TRUE(platform::WriteFileAtomically(path, "second", 6));
    EXPECT_EQ(ReadFile(path), "second");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.File("a/b/c")))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
    // A folder where a file should go: refused, the folder untouched.
    EXPECT_FALSE(platform::MakeFolders(path));
    EXPECT_FALSE(platform::WriteFileAtomically(dir.File("missing/f.txt"), "x", 1));
}

class Watch : public ::testing::TestWithParam<bool> {};

TEST_P(Watch, SeesWritesAndRenamesOfItsFileOnlyOnce) {
    const bool poll = GetParam();
    ScratchDir dir(poll ? "watch_poll" : "watch_inotify");
    const std::string path = dir.File("t.script");
    WriteFile(path, "one");
    platform::FileWatch watch;
    ASSERT_TRUE(watch.Watch(path, poll));
    EXPECT_EQ(watch.Polling(), poll);
    EXPECT_FALSE(watch.Changed());
    // Another file of the folder is not ours.
    WriteFile(dir.File("other.script"), "x");
    EXPECT_FALSE(watch.Changed());

    WriteFile(path, "two!");
    // The poll takes a change once it held still for a call.
    EXPECT_EQ(std::vector<bool>({watch.Changed(), watch.Changed()}),
              std::vector<bool>({!poll, poll}));
    EXPECT_FALSE(watch.Changed());

    // Saved as editors do: a new file renamed over the old.
    WriteFile(dir.File("t.script.new"), "three");
    std::rename(dir.File("t.script.new").c_str(), path.c_str());
    EXPECT_EQ(std::vector<bool>({watch.Changed(), watch.Changed()}),
              std::vector<bool>({!poll, poll}));
    EXPECT_FALSE(watch.Changed());
}

INSTANTIATE_TEST_SUITE_P(InotifyAndPoll, Watch, ::testing::Values(false, true));

}  // namespace
