#include "command_line.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace pictel::test {
namespace {

struct RolesCase {
    std::vector<std::string> arguments;
    std::set<std::string> existing;
    std::optional<std::string> input;
    std::optional<std::string> output;
    bool to_temporary_folder;
};

TEST(AssignRoles, FollowsExistenceNotPosition) {
    const std::vector<RolesCase> cases = {
        {{"a.blp"}, {"a.blp"}, "a.blp", std::nullopt, false},
        {{"out.tga", "in.blp"}, {"in.blp"}, "in.blp", "out.tga", false},
        {{"first.blp", "second.blp"},
         {"first.blp", "second.blp"},
         "first.blp",
         "second.blp",
         false},
        {{"-T", "a.blp"}, {"a.blp"}, "a.blp", std::nullopt, true},
        {{"a.blp", "-t", "b.tga"}, {"a.blp"}, "a.blp", "b.tga", true},
        {{"x.tga", "y.tga", "a.blp"}, {"a.blp"}, "a.blp", "y.tga", false},
        {{"missing.blp"}, {}, std::nullopt, "missing.blp", false},
        {{"a.blp", "a.blp"}, {"a.blp"}, "a.blp", "a.blp", false},
        // the stale-output cases of the preview pipeline
        {{"/t/a.blp", "/t/a.tga"}, {"/t/a.blp", "/t/a.tga"}, "/t/a.blp", "/t/a.tga", false},
        {{"/t/a.blp", "/t/a.tga"}, {"/t/a.tga"}, "/t/a.tga", "/t/a.blp", false},
    };
    for (const RolesCase& c : cases) {
        const PictelRoles roles = assign_roles(
            c.arguments, [&](const std::string& path) { return c.existing.count(path) != 0; });
        EXPECT_EQ(roles.input, c.input) << c.arguments.front();
        EXPECT_EQ(roles.output, c.output) << c.arguments.front();
        EXPECT_EQ(roles.to_temporary_folder, c.to_temporary_folder) << c.arguments.front();
    }
}

TEST(RecogniseFormat, LooksAtTheLastFourCharactersOnly) {
    const std::vector<std::pair<std::string, PictureFormat>> cases = {
        {"a.tga", PictureFormat::tga},         {"A.TGA", PictureFormat::tga},
        {"x.Blp", PictureFormat::blp},         {"dir.blp/x.bLP", PictureFormat::blp},
        {".blp", PictureFormat::blp},          {"x.png", PictureFormat::unknown},
        {"blp", PictureFormat::unknown},       {"", PictureFormat::unknown},
        {"a.tga.bak", PictureFormat::unknown}, {"a.blp2", PictureFormat::unknown},
    };
    for (const auto& [path, format] : cases) {
        EXPECT_EQ(recognise_format(path), format) << path;
    }
}

struct OutputCase {
    std::string input;
    std::optional<std::string> output;
    bool to_temporary_folder;
    std::string expected;
};

TEST(ChooseOutputPath, GivenOrDerivedWithAndWithoutTheSwitch) {
    const std::vector<OutputCase> cases = {
        {"/maps/a.blp", std::nullopt, false, "/maps/a.TGA"},
        {"a.blp", std::nullopt, false, "a.TGA"},
        {"/maps/a.blp", std::nullopt, true, "/tmp/x/a.TGA"},
        {"/maps/a.blp", "out.tga", true, "/tmp/x/out.tga"},
        {"/maps/a.blp", "/d/out.tga", true, "/d/out.tga"},
        {"/maps/a.blp", "out.tga", false, "out.tga"},
        {"/maps/a.blp", "", false, "/maps/a.TGA"},
        {"/maps/pic.tga", std::nullopt, false, "/maps/pic.BLP"},
        {"/maps/v1.2/a.b.blp", std::nullopt, false, "/maps/v1.2/a.b.TGA"},
        {"/maps/.blp", std::nullopt, false, "/maps/.blp"},
        {"/maps/x..blp", std::nullopt, false, "/maps/x..TGA"},
        {"/a.blp", std::nullopt, false, "/a.TGA"},
    };
    for (const OutputCase& c : cases) {
        PictelRoles roles;
        roles.input = c.input;
        roles.output = c.output;
        roles.to_temporary_folder = c.to_temporary_folder;
        EXPECT_EQ(choose_output_path(roles, recognise_format(c.input), "/tmp/x/"), c.expected)
            << c.input << " " << c.output.value_or("(none)");
    }
}

TEST(SamePathText, IgnoresLetterCaseOnly) {
    EXPECT_TRUE(same_path_text("/maps/a.blp", "/MAPS/A.BLP"));
    EXPECT_FALSE(same_path_text("/maps/a.blp", "/maps/a.blp "));
    EXPECT_FALSE(same_path_text("/maps/a.blp", "/maps/./a.blp"));
}

TEST(TemporaryFolderFromEnvironment, UsesTmpdirElseTmpWithOneSeparator) {
    const char* saved = std::getenv("TMPDIR");
    const std::string kept = saved != nullptr ? saved : "";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"/var/tmp", "/var/tmp/"}, {"/var/tmp/", "/var/tmp/"}, {"", "/tmp/"}, {nullptr, "/tmp/"}};
    for (const auto& [value, expected] : cases) {
        if (value != nullptr) {
            ::setenv("TMPDIR", value, 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        EXPECT_EQ(temporary_folder_from_environment(), expected);
    }
    if (saved != nullptr) {
        ::setenv("TMPDIR", kept.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

} // namespace
} // namespace pictel::test
