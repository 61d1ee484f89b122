// How the main window's folder scan compares with reading the folder bare, and whether the window
// stays responsive meanwhile. Prints one "figure: value" line per figure; exits 1 when a bound is
// missed.
//
// 1. scan time of 10,000 maps + 1,000 other files, from restart to the count in `标签2`, against a
//    bare loop listing the folder and reading the first 520 bytes of each file (warm cache,
//    medians): ratio <= 1.5.
// 2. the longest lateness of a 5 ms UI-thread timer during that scan: <= 50 ms.
// 3. the same scan with 100,000 maps: completes, stall bound kept, peak memory printed.
#include "platform/temp_folder.h"
#include "shell/connection_test.h"
#include "shell/directory_box.h"
#include "shell/global_state.h"
#include "shell/main_window.h"
#include "shell/user_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr double ratio_bound = 1.5;
constexpr double stall_bound_ms = 50.0;
constexpr int timer_interval_ms = 5;
constexpr int runs = 5;

// Nobody answers: the benchmark window never asks anything with an archive reader present.
class SilentDialogs final : public keldra::UserDialogs {
public:
    keldra::MessageAnswer show_message(const QString&, const QString&, keldra::MessageButtons,
                                       keldra::MessageIcon) override {
        return keldra::MessageAnswer::ok;
    }
    std::optional<QString> ask_text(const QString&, const QString&) override { return {}; }
    std::optional<QByteArray> choose_folder(const QString&) override { return {}; }
    std::optional<QByteArray> choose_save_file(const keldra::SaveFileRequest&) override {
        return {};
    }
    void show_balloon(const QString&) override {}
};

class Offline final : public keldra::ConnectionTest {
public:
    bool is_connected() override { return false; }
};

// A folder under the system's temporary folder, removed at the end.
class BenchFolder {
public:
    BenchFolder() {
        std::string pattern = keldra::system_temp_folder() + "/keldra-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        path_ = pattern;
    }
    ~BenchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void fill_folder(const fs::path& folder, int maps, int others) {
    fs::create_directories(folder);
    for (int i = 0; i < maps; ++i) {
        const std::string name = "地图 " + std::to_string(i);
        std::string bytes("HM3W\0\0\0\0", 8);
        bytes += "|cffff0000" + name + "|r";
        bytes.push_back('\0');
        bytes.append(600, 'x');
        write_file(folder / ("map" + std::to_string(i) + (i % 2 == 0 ? ".w3x" : ".w3m")), bytes);
    }
    for (int i = 0; i < others; ++i) {
        write_file(folder / ("readme" + std::to_string(i) + ".txt"), std::string(700, 'r'));
    }
}

// The bare loop: list the folder, read the first 520 bytes of each entry.
double bare_loop_ms(const fs::path& folder) {
    const auto start = Clock::now();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return -1;
    }
    std::array<char, 520> buffer{};
    long total = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            total += ::read(fd, buffer.data(), buffer.size());
            ::close(fd);
        }
    }
    ::closedir(dir);
    const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return total > 0 ? elapsed : -1;
}

struct ScanFigures {
    double scan_ms = 0;
    double longest_stall_ms = 0;
    double listing_ms = 0;
    int rows = 0;
    bool completed = false;
};

// Chooses `folder` in the window and runs the event loop until `标签2` shows the count.
ScanFigures timed_scan(keldra::MainWindow& window, const fs::path& folder, int expected_rows) {
    ScanFigures figures;
    auto* count_label = window.findChild<QLabel*>(QStringLiteral("标签2"));
    count_label->setText(QStringLiteral("搜索到地图数："));
    const QString expected = QStringLiteral("找到地图文件：") + QString::number(expected_rows);

    QEventLoop loop;
    QTimer give_up;
    give_up.setSingleShot(true);
    QObject::connect(&give_up, &QTimer::timeout, &loop, &QEventLoop::quit);
    give_up.start(600'000);

    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QElapsedTimer since_tick;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        const double late =
            static_cast<double>(since_tick.nsecsElapsed()) / 1e6 - timer_interval_ms;
        figures.longest_stall_ms = std::max(figures.longest_stall_ms, late);
        since_tick.restart();
    });
    // Connected after the window's own handler, so the label already holds the count.
    const auto done = QObject::connect(&window.folder_scan(), &keldra::FolderScan::completed, &loop,
                                       [&](int rows) {
                                           figures.rows = rows;
                                           figures.completed = count_label->text() == expected;
                                           loop.quit();
                                       });
    // The directory box lists the folder's subfolders before the scan restarts; that listing is
    // timed on its own.
    const auto listing_start = Clock::now();
    window.findChild<keldra::DirectoryBox*>(QStringLiteral("目录框1"))
        ->set_path(QByteArray::fromStdString(folder.string()));
    figures.listing_ms =
        std::chrono::duration<double, std::milli>(Clock::now() - listing_start).count();
    ticker.start(timer_interval_ms);
    since_tick.start();
    const auto start = Clock::now();
    window.directory_chosen();
    loop.exec();
    figures.scan_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    ticker.stop();
    QObject::disconnect(done);
    return figures;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long peak_memory_kib() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[]) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    BenchFolder bench;
    const fs::path run_directory = bench.path() / "run";
    const fs::path empty = bench.path() / "empty";
    fs::create_directories(run_directory);
    fs::create_directories(empty);
    write_file(run_directory / "Keldra.ini", "[目录：]\n目录：=" + empty.string() + "\n");
    std::printf("bench_folder: %s\n", bench.path().c_str());
    const fs::path small = bench.path() / "small";
    const fs::path large = bench.path() / "large";
    fill_folder(small, 10'000, 1'000);

    keldra::GlobalState state;
    SilentDialogs dialogs;
    Offline offline;
    keldra::MainWindow window(
        state, {true, dialogs, offline, QByteArray::fromStdString(run_directory.string()), {}});
    window.start_up();
    window.show();

    bool bounds_kept = true;
    std::vector<double> bare_ms;
    std::vector<double> scan_ms;
    double longest_stall_ms = 0;
    bare_loop_ms(small); // warms the cache
    for (int run = 0; run < runs; ++run) {
        bare_ms.push_back(bare_loop_ms(small));
        const ScanFigures figures = timed_scan(window, small, 10'000);
        if (!figures.completed) {
            std::printf("scan_10000_maps_completed: no (%d rows)\n", figures.rows);
            return 1;
        }
        scan_ms.push_back(figures.scan_ms);
        longest_stall_ms = std::max(longest_stall_ms, figures.longest_stall_ms);
    }
    const double ratio = median(scan_ms) / median(bare_ms);
    std::printf("bare_loop_11000_files_median: %.1f ms\n", median(bare_ms));
    std::printf("window_scan_10000_maps_median: %.1f ms\n", median(scan_ms));
    std::printf("scan_to_bare_ratio: %.2f (bound %.1f)\n", ratio, ratio_bound);
    std::printf("longest_ui_stall_10000_maps: %.1f ms (bound %.0f ms)\n", longest_stall_ms,
                stall_bound_ms);
    bounds_kept = bounds_kept && ratio <= ratio_bound && longest_stall_ms <= stall_bound_ms;

    fill_folder(large, 100'000, 10'000);
    bare_loop_ms(large);
    const ScanFigures big = timed_scan(window, large, 100'000);
    std::printf("window_scan_100000_maps_completed: %s\n", big.completed ? "yes" : "no");
    std::printf("window_scan_100000_maps: %.1f ms\n", big.scan_ms);
    std::printf("directory_box_listing_110000_entries: %.1f ms\n", big.listing_ms);
    std::printf("longest_ui_stall_100000_maps: %.1f ms (bound %.0f ms)\n", big.longest_stall_ms,
                stall_bound_ms);
    std::printf("peak_memory: %ld KiB\n", peak_memory_kib());
    bounds_kept = bounds_kept && big.completed && big.longest_stall_ms <= stall_bound_ms;
    std::printf("within_bounds: %s\n", bounds_kept ? "yes" : "no");
    return bounds_kept ? 0 : 1;
}
