#include "platform/ini_file.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace keldra {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = temp_.path();
        path_ = temp_.file("Keldra.ini");
    }

    void write_file(const std::string& contents) const {
        std::ofstream(path_, std::ios::binary) << contents;
    }
    std::string file_contents() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    std::vector<std::string> folder_entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    test::TempFolder temp_;
    fs::path folder_;
    std::string path_;
};

struct ReadCase {
    const char* label;
    const char* contents; // nullptr: no file at all
    const char* section;
    const char* key;
    const char* expected;
};

TEST_F(IniFileTest, ReadsValuesOrTheDefault) {
    const std::array cases{
        ReadCase{"missing file", nullptr, "目录：", "目录：", "DEFAULT"},
        ReadCase{"missing section", "[其他]\n目录：=/x\n", "目录：", "目录：", "DEFAULT"},
        ReadCase{"missing key", "[目录：]\n盘符：=/\n", "目录：", "目录：", "DEFAULT"},
        ReadCase{"key of another section", "[a]\nk=1\n[b]\nj=2\n", "b", "k", "DEFAULT"},
        ReadCase{"plain value", "[目录：]\n盘符：=/media/盘\n目录：=/home/玩家/地图\n", "目录：",
                 "目录：", "/home/玩家/地图"},
        ReadCase{"first section and key win", "[s]\nk=1\nk=2\n[s]\nk=3\n", "s", "k", "1"},
        ReadCase{"ASCII names without case", "[Section]\nKey=v\n", "sECTION", "kEY", "v"},
        ReadCase{"blanks around the key and before the value", "[s]\n  k \t=  v w  \n", "s", "k",
                 "v w  "},
        ReadCase{"CR LF lines", "[s]\r\nk=v\r\n", "s", "k", "v"},
        ReadCase{"empty value", "[s]\nk=\n", "s", "k", ""},
        ReadCase{"value holding =", "[s]\nk=a=b\n", "s", "k", "a=b"},
        ReadCase{"commented key", "[s]\n;k=v\n", "s", "k", "DEFAULT"},
        ReadCase{"byte order mark", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
        ReadCase{"last line without ending", "[s]\nk=v", "s", "k", "v"},
        ReadCase{"blanks inside the brackets", "[ s ]\nk=v\n", "s", "k", "v"},
        ReadCase{"raw bytes kept", "[s]\nk=/a\xFF\xFE/b\n", "s", "k", "/a\xFF\xFE/b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(path_);
        if (c.contents != nullptr) {
            write_file(c.contents);
        }
        EXPECT_EQ(read_ini_value(path_, c.section, c.key, "DEFAULT"), c.expected);
    }
}

TEST_F(IniFileTest, ValuesAreCutToTheLimit) {
    const std::string long_value(ini_value_limit + 500, 'x');
    for (const std::size_t length :
         {ini_value_limit - 1, ini_value_limit, ini_value_limit + 1, ini_value_limit + 500}) {
        SCOPED_TRACE(length);
        write_file("[s]\nk=" + long_value.substr(0, length) + "\n");
        EXPECT_EQ(read_ini_value(path_, "s", "k", ""),
                  long_value.substr(0, std::min(length, ini_value_limit)));
    }
    EXPECT_EQ(read_ini_value(path_, "s", "missing", long_value).size(), ini_value_limit);
}

struct WriteCase {
    const char* label;
    const char* before; // nullptr: no file yet
    const char* section;
    std::vector<IniEntry> entries;
    const char* after;
};

TEST_F(IniFileTest, WritesKeysAndKeepsEveryOtherByte) {
    const std::vector<WriteCase> cases{
        {"new file",
         nullptr,
         "目录：",
         {{"盘符：", "/"}, {"目录：", "/home/玩家"}},
         "[目录：]\n盘符：=/\n目录：=/home/玩家\n"},
        {"replaces the values in place",
         "; 设置\n[其他]\n目录：=keep\n\n[目录：]\n盘符：=/old\n# note\n 目录： = "
         "/old\n[后]\nx=1\n",
         "目录：",
         {{"盘符：", "/new"}, {"目录：", "/新"}},
         "; 设置\n[其他]\n目录：=keep\n\n[目录：]\n盘符：=/new\n# note\n目录：=/新\n[后]\nx=1\n"},
        {"adds a missing key after the section's last line",
         "[目录：]\n盘符：=/\n\n[后]\nx=1\n",
         "目录：",
         {{"目录：", "/m"}},
         "[目录：]\n盘符：=/\n目录：=/m\n\n[后]\nx=1\n"},
        {"adds a missing section at the end",
         "[a]\nk=1",
         "目录：",
         {{"目录：", "/m"}},
         "[a]\nk=1\n[目录：]\n目录：=/m\n"},
        {"keeps CR LF", "[a]\r\nk=1\r\n", "a", {{"k", "2"}, {"j", "3"}}, "[a]\r\nk=2\r\nj=3\r\n"},
        {"keeps the byte order mark",
         "\xEF\xBB\xBF[a]\nk=1\n",
         "a",
         {{"k", "2"}},
         "\xEF\xBB\xBF[a]\nk=2\n"},
        {"empty value", "[a]\nk=1\n", "a", {{"k", ""}}, "[a]\nk=\n"},
        {"raw bytes", nullptr, "a", {{"k", "/a\xFF/b"}}, "[a]\nk=/a\xFF/b\n"},
        {"empty file", "", "a", {{"k", "v"}}, "[a]\nk=v\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(path_);
        if (c.before != nullptr) {
            write_file(c.before);
        }
        ASSERT_TRUE(write_ini_values(path_, c.section, c.entries));
        EXPECT_EQ(file_contents(), c.after);
        for (const auto& [key, value] : c.entries) {
            EXPECT_EQ(read_ini_value(path_, c.section, key, "DEFAULT"), value);
        }
        EXPECT_EQ(folder_entries(), std::vector<std::string>{"Keldra.ini"});
    }
}

TEST_F(IniFileTest, RefusesWhatWouldCorruptTheFile) {
    const std::string before = "[a]\nk=1\n";
    const std::vector<std::pair<const char*, std::vector<IniEntry>>> cases{
        {"line feed in a value", {{"k", "/a\nb=c"}}},
        {"carriage return in a value", {{"k", "/a\rb"}}},
        {"line feed in a key", {{"k\nj", "v"}}},
        {"= in a key", {{"k=j", "v"}}},
        {"empty key", {{"", "v"}}},
    };
    for (const auto& [label, entries] : cases) {
        SCOPED_TRACE(label);
        write_file(before);
        EXPECT_FALSE(write_ini_values(path_, "a", entries));
        EXPECT_EQ(file_contents(), before);
    }
    EXPECT_FALSE(write_ini_values(path_, "a]b", {{"k", "v"}}));
    EXPECT_FALSE(write_ini_values(path_, "a\nb", {{"k", "v"}}));
    EXPECT_EQ(file_contents(), before);
}

TEST_F(IniFileTest, ASettingsFileThatIsNoRegularFileIsLeftAlone) {
    const std::string fifo = (folder_ / "fifo.ini").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = (folder_ / "folder.ini").string();
    fs::create_directory(folder);
    for (const std::string& path : {fifo, folder, std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(read_ini_value(path, "a", "k", "DEFAULT"), "DEFAULT");
        if (path != "/dev/zero") {
            EXPECT_FALSE(write_ini_values(path, "a", {{"k", "v"}}));
        }
    }
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(IniFileTest, KeepsPermissionsAndWritesThroughALink) {
    write_file("[a]\nk=1\n");
    ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
    const std::string link = (folder_ / "link.ini").string();
    fs::create_symlink(path_, link);
    ASSERT_TRUE(write_ini_values(link, "a", {{"k", "2"}}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(file_contents(), "[a]\nk=2\n");
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniFileTest, AReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    write_file("[a]\nk=1\n");
    ASSERT_EQ(::chmod(folder_.c_str(), 0500), 0);
    EXPECT_FALSE(write_ini_values(path_, "a", {{"k", "2"}}));
    EXPECT_EQ(file_contents(), "[a]\nk=1\n");
    EXPECT_EQ(folder_entries(), std::vector<std::string>{"Keldra.ini"});
}

TEST_F(IniFileTest, AnUnreadableFileIsNotOverwritten) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    write_file("[a]\nk=1\nother=keep\n");
    ASSERT_EQ(::chmod(path_.c_str(), 0200), 0);
    EXPECT_FALSE(write_ini_values(path_, "a", {{"k", "2"}}));
    ASSERT_EQ(::chmod(path_.c_str(), 0600), 0);
    EXPECT_EQ(file_contents(), "[a]\nk=1\nother=keep\n");
}

// A write cut short (here by the file-size limit, as a full disk would) must leave the old file
// whole and take its temporary file away. The limit is set in a child process so that it cannot
// touch the test's own output.
TEST_F(IniFileTest, AHalfWrittenFileNeverReplacesTheOld) {
    const std::string before = "[a]\nk=old\n" + std::string(200, ';') + "\n";
    write_file(before);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = write_ini_values(path_, "a", {{"k", std::string(5000, 'n')}});
        ::_exit(written ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the cut-short write was reported as done";
    EXPECT_EQ(file_contents(), before);
    EXPECT_EQ(folder_entries(), std::vector<std::string>{"Keldra.ini"});
}

} // namespace
} // namespace keldra
