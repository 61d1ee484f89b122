#include "platform/temp_folder.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keldra {
namespace {

namespace fs = std::filesystem;

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = temp_.path().string();
        private_ = temp_.file("keldra-" + std::to_string(::geteuid()));
    }

    mode_t mode_of(const std::string& path) const {
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0);
        return info.st_mode;
    }

    test::TempFolder temp_;
    std::string base_;
    std::string private_;
};

TEST_F(TempFolderTest, CreatesAPrivateFolderOnlyWhenAsked) {
    EXPECT_EQ(private_temp_folder_in(base_, false), std::nullopt);
    EXPECT_FALSE(fs::exists(private_));
    EXPECT_EQ(private_temp_folder_in(base_, true), private_ + "/");
    EXPECT_TRUE(S_ISDIR(mode_of(private_)));
    EXPECT_EQ(mode_of(private_) & 0777, 0700U);
    EXPECT_EQ(private_temp_folder_in(base_ + "/", false), private_ + "/");
}

TEST_F(TempFolderTest, RefusesFoldersOthersCouldTamperWith) {
    struct Case {
        const char* label;
        void (*make)(const std::string& path, const std::string& base);
    };
    const Case cases[] = {
        {"group may write",
         [](const std::string& path, const std::string&) {
             fs::create_directory(path);
             ::chmod(path.c_str(), 0770);
         }},
        {"others may read",
         [](const std::string& path, const std::string&) {
             fs::create_directory(path);
             ::chmod(path.c_str(), 0704);
         }},
        {"a link to a private folder",
         [](const std::string& path, const std::string& base) {
             fs::create_directory(base + "/elsewhere");
             ::chmod((base + "/elsewhere").c_str(), 0700);
             fs::create_directory_symlink(base + "/elsewhere", path);
         }},
        {"a plain file",
         [](const std::string& path, const std::string&) { std::ofstream(path) << "x"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(private_);
        fs::remove_all(base_ + "/elsewhere");
        c.make(private_, base_);
        EXPECT_EQ(private_temp_folder_in(base_, true), std::nullopt);
    }
}

TEST_F(TempFolderTest, RemovesTheConverterOnlyFromThePrivateFolder) {
    const char* old_tmpdir = std::getenv("TMPDIR");
    const std::string saved = old_tmpdir != nullptr ? old_tmpdir : "";
    ::setenv("TMPDIR", base_.c_str(), 1);
    EXPECT_EQ(system_temp_folder(), base_);

    remove_converter_file(); // no folder: nothing happens, nothing is created
    EXPECT_FALSE(fs::exists(private_));

    ASSERT_TRUE(private_temp_folder(true).has_value());
    std::ofstream(private_ + "/conv.exe") << "x";
    std::ofstream(private_ + "/a.tga") << "x";
    remove_converter_file();
    EXPECT_FALSE(fs::exists(private_ + "/conv.exe"));
    EXPECT_TRUE(fs::exists(private_ + "/a.tga"));

    ::chmod(private_.c_str(), 0777);
    std::ofstream(private_ + "/conv.exe") << "x";
    remove_converter_file();
    EXPECT_TRUE(fs::exists(private_ + "/conv.exe")) << "deleted inside a folder others control";

    ::setenv("TMPDIR", "relative/path", 1);
    EXPECT_EQ(system_temp_folder(), "/tmp");
    if (old_tmpdir != nullptr) {
        ::setenv("TMPDIR", saved.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

} // namespace
} // namespace keldra
