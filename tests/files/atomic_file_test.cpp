#include "files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace tapwright {
namespace {

TEST(AtomicFile, ReplacesWholeWithTheUsualPermissions) {
    const test::TempDir dir;
    const std::string path = dir.Write("out.txt", "an older and longer text\n").string();
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "new\n", &error)) << error;
    EXPECT_EQ(test::ReadFile(path), "new\n");
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"out.txt"});

    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST(AtomicFile, FailuresLeaveNothingBehind) {
    const test::TempDir dir;
    dir.Write("kept.txt", "kept\n");
    const std::filesystem::path folder = dir / "folder";
    std::filesystem::create_directory(folder);
    struct Case {
        std::string path;
        std::string error;  // how the description starts
    };
    const std::vector<Case> cases = {
        // The temporary file is written, then cannot take the folder's place.
        {folder.string(), "cannot replace " + folder.string()},
        {(dir / "missing" / "x.txt").string(),
         "cannot create a temporary file beside " + (dir / "missing" / "x.txt").string()},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(c.path, "text\n", &error)) << c.path;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        EXPECT_EQ(test::Entries(dir.path()), (std::vector<std::string>{"folder", "kept.txt"}));
        EXPECT_TRUE(std::filesystem::is_empty(folder));
        EXPECT_EQ(test::ReadFile(dir / "kept.txt"), "kept\n");
        EXPECT_FALSE(WriteFileAtomically(c.path, "text\n", nullptr));
    }
}

}  // namespace
}  // namespace tapwright
