// The built pictel program as a black box: messages byte for byte, exit codes, and which files
// exist afterwards.
#include "test_pictures.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pictel::test {
namespace {

const std::string banner = "Pictel v0.1 - BLP1/TGA picture converter of Keldra\r\n\r\n";
const std::string usage =
    "Usage : \r\n\tPictel input [output] [-t]\r\n\r\n"
    "  where input can be a TGA or a BLP, output a TGA or a BLP\r\n"
    "  the switch -t tells the program to put the output in the temporary directory\r\n";
const std::string same_file = "Input file and output file must not be the same !\r\n";
const std::string unknown_format = "Unknown input file format\r\n";

std::string read_ok(const std::string& path) {
    return "File " + path + " read successfully\r\n";
}

std::string written(const std::string& path, std::size_t size) {
    return "Theoretical file size : \t" + std::to_string(size) + " bytes\r\nWritten : \t\t\t" +
           std::to_string(size) + " bytes\r\nThe file " + path + " was written successfully\r\n";
}

class PictelProgram : public testing::Test {
protected:
    TempFolder work;
    TempFolder temporary;
    const Bytes blp = jpeg_blp(gradient_picture(64, 32), 64, 32);
    static constexpr std::size_t tga_size = 18 + 64 * 32 * 4;

    ProgramRun run(const std::vector<std::string>& arguments) {
        return run_program(arguments, work.path().string(), temporary.path().string());
    }
    std::string in_temporary(const std::string& name) const { return temporary.file(name); }
    std::size_t files_in_work() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(work.path()),
                          std::filesystem::directory_iterator()));
    }
};

TEST_F(PictelProgram, WrongArgumentCountPrintsUsage) {
    for (const auto& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"a", "b", "c", "d"}}) {
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.exit_code, 1);
        EXPECT_EQ(result.messages, banner + usage);
    }
}

TEST_F(PictelProgram, ConvertsBesideTheInputWithAFolderPart) {
    const std::string input = work.file("a.blp");
    write_file(input, blp);
    const ProgramRun result = run({input});
    const std::string output = work.file("a.TGA");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.messages, banner + read_ok(input) + written(output, tga_size));
    EXPECT_EQ(read_file(output).size(), tga_size);
}

TEST_F(PictelProgram, BareNameConvertsIntoTheCurrentFolder) {
    write_file(work.file("x.Blp"), blp);
    const ProgramRun result = run({"x.Blp"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.messages, banner + read_ok("x.Blp") + written("x.TGA", tga_size));
    EXPECT_TRUE(exists(work.file("x.TGA")));
}

TEST_F(PictelProgram, SwitchSendsTheOutputToTheTemporaryFolder) {
    write_file(work.file("a.blp"), blp);
    struct Case {
        std::vector<std::string> arguments;
        std::string output;
    };
    const std::vector<Case> cases = {
        {{"-T", "a.blp"}, in_temporary("a.TGA")},
        {{"a.blp", "-t"}, in_temporary("a.TGA")},
        {{"a.blp", "out.tga", "-t"}, in_temporary("out.tga")},
        {{"a.blp", "-t", work.file("given.tga")}, work.file("given.tga")},
    };
    for (const Case& c : cases) {
        const ProgramRun result = run(c.arguments);
        EXPECT_EQ(result.exit_code, 0) << c.output;
        EXPECT_EQ(result.messages, banner + read_ok("a.blp") + written(c.output, tga_size));
        EXPECT_TRUE(exists(c.output)) << c.output;
    }
    EXPECT_FALSE(exists(work.file("a.TGA")));
}

TEST_F(PictelProgram, RefusesToWriteOverItsInput) {
    write_file(work.file("a.blp"), blp);
    write_file(work.file(".blp"), blp);
    const std::vector<std::vector<std::string>> cases = {
        {"a.blp", "A.BLP"},
        {work.file("a.blp"), work.file("A.Blp")},
        {"a.blp", "./a.blp"},
        {"a.blp", work.file("a.blp")},
        {".blp"},
        {work.file(".blp")},
        {"a.blp", "a.blp", "-t"},
    };
    for (const auto& arguments : cases) {
        const ProgramRun result = run(arguments);
        EXPECT_EQ(result.exit_code, 1) << arguments.back();
        EXPECT_EQ(result.messages, banner + same_file) << arguments.back();
        EXPECT_EQ(read_file(work.file("a.blp")), blp);
        EXPECT_EQ(read_file(work.file(".blp")), blp);
    }
    EXPECT_EQ(files_in_work(), 2u);
}

TEST_F(PictelProgram, UnknownFormatOrMissingInputEndsWithCode1) {
    write_file(work.file("x.png"), blp);
    for (const std::string name : {"x.png", "missing.blp", "b"}) {
        const ProgramRun result = run({name});
        EXPECT_EQ(result.exit_code, 1) << name;
        EXPECT_EQ(result.messages, banner + unknown_format) << name;
    }
    std::filesystem::create_directory(work.path() / "folder.blp");
    EXPECT_EQ(run({"folder.blp"}).messages, banner + unknown_format) << "a folder is not a file";
    EXPECT_EQ(files_in_work(), 2u);
}

TEST_F(PictelProgram, NotValidContentWritesNothingAndKeepsAnOldOutput) {
    write_file(work.file("fake.blp"), Bytes{'B', 'L', 'P', '2', 0, 0});
    write_file(work.file("fake.tga"), Bytes(20, 0));
    write_file(work.file("old.tga"), Bytes{1, 2, 3});
    const ProgramRun blp_result = run({"fake.blp", "old.tga"});
    EXPECT_EQ(blp_result.exit_code, 0);
    EXPECT_EQ(blp_result.messages,
              banner + read_ok("fake.blp") + "The file fake.blp is not a valid BLP file\r\n");
    EXPECT_EQ(read_file(work.file("old.tga")), (Bytes{1, 2, 3}));
    const ProgramRun tga_result = run({"fake.tga"});
    EXPECT_EQ(tga_result.messages,
              banner + read_ok("fake.tga") + "The file fake.tga is not a valid TGA file\r\n");
    EXPECT_FALSE(exists(work.file("fake.BLP")));
}

TEST_F(PictelProgram, EmptyInputIsReadAndThenNotValid) {
    write_file(work.file("empty.blp"), Bytes{});
    const ProgramRun result = run({"empty.blp"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.messages, banner + "Error : file empty.blp is empty or cannot be read\r\n" +
                                   read_ok("empty.blp") +
                                   "The file empty.blp is not a valid BLP file\r\n");
    EXPECT_FALSE(exists(work.file("empty.TGA")));
}

// The preview pipeline's command line when a stale a.tga is lying in the folder.
TEST_F(PictelProgram, StaleTgaIsReplacedOrBecomesTheInput) {
    const std::string a_blp = work.file("a.blp");
    const std::string a_tga = work.file("a.tga");
    write_file(a_blp, blp);
    write_file(a_tga, Bytes{9, 9, 9});
    const ProgramRun replaced = run({a_blp, a_tga});
    EXPECT_EQ(replaced.messages, banner + read_ok(a_blp) + written(a_tga, tga_size));
    EXPECT_EQ(read_file(a_tga).size(), tga_size);

    std::filesystem::remove(a_blp);
    const ProgramRun reversed = run({a_blp, a_tga});
    EXPECT_EQ(reversed.exit_code, 0);
    const Bytes written_blp = read_file(a_blp);
    ASSERT_GE(written_blp.size(), 4u);
    EXPECT_EQ(std::string(written_blp.begin(), written_blp.begin() + 4), "BLP1");
}

TEST_F(PictelProgram, TgaInputChecksItsSides) {
    Bytes not_square_power = tga_header(3, 4, 32);
    not_square_power.resize(18 + 48, 0);
    write_file(work.file("three.tga"), not_square_power);
    EXPECT_EQ(run({"three.tga"}).messages,
              banner + read_ok("three.tga") +
                  "The width and the height of the input TGA must be power of two\r\n");

    Bytes narrow = tga_header(4, 2, 24);
    narrow.resize(18 + 24, 100);
    write_file(work.file("narrow.tga"), narrow);
    const ProgramRun widened = run({"narrow.tga"});
    const std::string expected_start =
        banner + read_ok("narrow.tga") +
        "The TGA file narrow.tga is 24 bits, adding an opaque alpha channel\r\n";
    EXPECT_EQ(widened.messages.rfind(expected_start, 0), 0u) << widened.messages;
    EXPECT_TRUE(exists(work.file("narrow.BLP")));
    EXPECT_FALSE(exists(work.file("three.BLP")));
}

// 16384 x 16384 in run-length packets: the smaller side is too large for the level tables.
TEST_F(PictelProgram, RefusesATgaWhoseSmallerSideExceeds8192) {
    Bytes huge = tga_header(16384, 16384, 24, 10, 0);
    for (std::size_t packet = 0; packet < 16384u * 16384u / 128u; ++packet) {
        huge.insert(huge.end(), {0xFF, 1, 2, 3});
    }
    write_file(work.file("huge.tga"), huge);
    const ProgramRun result = run({"huge.tga"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.messages,
              banner + read_ok("huge.tga") +
                  "The smaller side of the input TGA must not be larger than 8192 pixels\r\n");
    EXPECT_FALSE(exists(work.file("huge.BLP")));
}

// Junk before a marker of the JPEG header is a warning of the JPEG library: the picture is still
// converted, and the warning is printed once although the header is read twice.
TEST_F(PictelProgram, PrintsAJpegWarningOnceAndConverts) {
    Bytes damaged = blp;
    const Bytes frame_marker = {0xFF, 0xC0};
    const auto frame =
        std::search(damaged.begin() + 170, damaged.end(), frame_marker.begin(), frame_marker.end());
    ASSERT_NE(frame, damaged.end());
    const Bytes junk = {0x12, 0x34, 0x56};
    damaged.insert(frame, junk.begin(), junk.end());
    for (std::size_t level = 0; level < 16 && u32_at(damaged, 92 + 4 * level) != 0; ++level) {
        set_u32(damaged, 28 + 4 * level, u32_at(damaged, 28 + 4 * level) + (level == 0 ? 0 : 3));
    }
    set_u32(damaged, 92, u32_at(damaged, 92) + 3);
    write_file(work.file("warned.blp"), damaged);
    const ProgramRun result = run({"warned.blp"});
    const std::string warning = "Corrupt JPEG data: 3 extraneous bytes before marker 0xc0\n";
    EXPECT_EQ(result.messages,
              banner + read_ok("warned.blp") + warning + written("warned.TGA", tga_size));
}

TEST_F(PictelProgram, ReportsAnInputThatCannotBeOpened) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    write_file(work.file("locked.blp"), blp);
    std::filesystem::permissions(work.file("locked.blp"), std::filesystem::perms::none);
    const ProgramRun result = run({"locked.blp"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.messages, banner + "Error : cannot open file locked.blp for reading\r\n");
    EXPECT_FALSE(exists(work.file("locked.TGA")));
}

TEST_F(PictelProgram, ReportsAnOutputThatCannotBeCreated) {
    write_file(work.file("a.blp"), blp);
    const std::string output = work.file("no/such/folder/a.tga");
    const ProgramRun result = run({"a.blp", output});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.messages, banner + read_ok("a.blp") + "Error : cannot open file " + output +
                                   " for writing\r\n");
}

} // namespace
} // namespace pictel::test
