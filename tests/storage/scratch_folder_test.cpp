#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "storage/scratch_folder.h"
#include "tests/storage/temp_folder.h"

namespace praxora {
namespace {

namespace fs = std::filesystem;

// Scratch folders go to $XDG_RUNTIME_DIR, else $TMPDIR: both point into a test folder.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
            const char* value = getenv(name);
            saved_.emplace_back(name, value != nullptr ? value : "");
        }
        unsetenv("XDG_RUNTIME_DIR");
        setenv("TMPDIR", base_.path().c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value.empty()) {
                unsetenv(name.c_str());
            } else {
                setenv(name.c_str(), value.c_str(), 1);
            }
        }
    }
    fs::path Leftover(const std::string& name) {
        const fs::path folder = fs::path(base_.path()) / name;
        fs::create_directory(folder);
        std::ofstream(folder / "preview.pdf") << "%PDF-1.4 patient data";
        return folder;
    }

    TempFolder base_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(ScratchFolderTest, IsPrivateAndGoesWithItsFiles) {
    std::string path;
    {
        const ScratchFolder folder;
        path = folder.Path();
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(fs::path(path).parent_path(), fs::path(base_.path()));
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        std::ofstream(path + "/preview.pdf") << "%PDF";
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ScratchFolderTest, RuntimeFolderIsPreferred) {
    TempFolder runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    const ScratchFolder folder;
    EXPECT_EQ(fs::path(folder.Path()).parent_path(), fs::path(runtime.path()));
}

TEST_F(ScratchFolderTest, LeftoversOfEndedProcessesAreRemovedOnly) {
    // A child that has ended gives a pid that no process has now.
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const fs::path ended = Leftover("praxora-scratch-" + std::to_string(child) + "-abcdef");
    const fs::path running = Leftover("praxora-scratch-" + std::to_string(getpid()) + "-abcdef");
    const fs::path unrelated = Leftover("another-program-1-abcdef");
    fs::create_directory_symlink(unrelated, fs::path(base_.path()) / "praxora-scratch-1-link");

    RemoveLeftoverScratchFolders();

    EXPECT_FALSE(fs::exists(ended));
    EXPECT_TRUE(fs::exists(running / "preview.pdf"));
    EXPECT_TRUE(fs::exists(unrelated / "preview.pdf"));
}

}  // namespace
}  // namespace praxora
