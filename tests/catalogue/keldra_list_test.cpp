#include "hostile_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace keldra {
namespace {

using test::read_file;
using test::TempFolder;

struct RunResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

// Runs keldra-list with `arguments`, its output caught in files of `scratch`.
RunResult run_keldra_list(const std::vector<std::string>& arguments, const TempFolder& scratch) {
    const std::string out_path = (scratch / "stdout").string();
    const std::string err_path = (scratch / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::string program = KELDRA_LIST_PATH;
    std::vector<char*> argv{program.data()};
    std::vector<std::string> owned = arguments;
    for (std::string& argument : owned)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    RunResult result;
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    int status = 0;
    if (::waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exit_code = WEXITSTATUS(status);
    result.out = read_file(out_path);
    result.err = read_file(err_path);
    return result;
}

TEST(KeldraList, PrintsTheScanRowsInListingOrder) {
    const TempFolder folder;
    const TempFolder scratch;
    const auto rows = test::in_listing_order(folder.path(), test::make_hostile_folder(folder));
    std::string expected;
    for (const auto& [file_name, map_name] : rows)
        expected.append(file_name).append("\t").append(map_name).append("\n");
    const RunResult result = run_keldra_list({folder.path().string()}, scratch);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, "");
}

TEST(KeldraList, EmptyFolderPrintsNothing) {
    const TempFolder folder;
    const TempFolder scratch;
    const RunResult result = run_keldra_list({folder.folder()}, scratch);
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
}

TEST(KeldraList, FolderThatCannotBeReadExitsWithTwo) {
    const TempFolder folder;
    const TempFolder scratch;
    test::write_file(folder / "plain.w3m", test::map_file_bytes("Plain"));
    for (const std::string& path :
         {(folder / "missing").string(), (folder / "plain.w3m").string()}) {
        const RunResult result = run_keldra_list({path}, scratch);
        EXPECT_EQ(result.exit_code, 2) << path;
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(path), std::string::npos) << result.err;
    }
}

TEST(KeldraList, FolderWithoutReadPermissionExitsWithTwo) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a folder whatever its mode";
    const TempFolder folder;
    const TempFolder scratch;
    ::chmod(folder.path().c_str(), 0);
    const RunResult result = run_keldra_list({folder.folder()}, scratch);
    EXPECT_EQ(result.exit_code, 2);
}

TEST(KeldraList, WrongUsageExitsWithTwo) {
    const TempFolder scratch;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"a", "b"}}) {
        const RunResult result = run_keldra_list(arguments, scratch);
        EXPECT_EQ(result.exit_code, 2);
        EXPECT_NE(result.err.find("usage"), std::string::npos);
        EXPECT_EQ(result.out, "");
    }
}

} // namespace
} // namespace keldra
