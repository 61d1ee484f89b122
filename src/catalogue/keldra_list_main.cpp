// keldra-list FOLDER: prints the rows the map list would show for FOLDER, one per line, in the
// scan's order: the file name as the file system gave it, a tab, the map name in UTF-8.
// Exit codes: 0 listed, 1 standard output could not be written, 2 wrong usage or a folder that
// cannot be read.
#include "catalogue/map_header.h"
#include "catalogue/scan_folder.h"
#include "platform/text_encoding.h"

#include <atomic>
#include <cstdio>
#include <string>

namespace {

constexpr int exit_write_failed = 1;
constexpr int exit_usage_or_folder = 2;

void print_row(std::string_view file_name, const std::string& map_name) {
    std::fwrite(file_name.data(), 1, file_name.size(), stdout);
    std::fputc('\t', stdout);
    std::fwrite(map_name.data(), 1, map_name.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: keldra-list FOLDER\n"
                   "Lists the map files of FOLDER: file name, a tab, map name.\n",
                   stderr);
        return exit_usage_or_folder;
    }
    const std::string folder = argv[1];
    const std::atomic<int> never_stopped{0};
    keldra::Gb2312Codec codec;
    const keldra::ScanOutcome outcome =
        keldra::scan_folder(folder, never_stopped, [&codec](const keldra::ScanEntry& entry) {
            const std::string file_name(entry.file_name);
            if (const auto map_name = keldra::read_map_header_at(entry.folder_fd, file_name, codec))
                print_row(file_name, *map_name);
        });
    if (outcome == keldra::ScanOutcome::folder_unreadable) {
        std::fprintf(stderr, "keldra-list: cannot read the folder %s\n", folder.c_str());
        return exit_usage_or_folder;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fputs("keldra-list: cannot write the list\n", stderr);
        return exit_write_failed;
    }
    return 0;
}
