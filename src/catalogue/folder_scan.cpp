#include "catalogue/folder_scan.h"

#include "catalogue/map_header.h"
#include "catalogue/scan_folder.h"
#include "platform/text_encoding.h"

#include <QMetaObject>
#include <chrono>

namespace keldra {
namespace {

// How much of the worker's time one delivery to the UI thread covers. Each delivery makes the list
// view repaint, which on a busy machine takes the processor from the worker; 25 ms keeps the
// repaints few while rows still appear as they are found, at the pace of a smooth animation.
constexpr auto delivery_interval = std::chrono::milliseconds(25);

} // namespace

FolderScan::FolderScan(MapListModel& model, std::atomic<int>& stop_flag, QObject* parent)
    : QObject(parent), model_(model), stop_flag_(stop_flag) {}

FolderScan::~FolderScan() {
    end_worker();
}

void FolderScan::restart(const QByteArray& folder) {
    end_worker();
    ++generation_;
    model_.clear();
    stop_flag_.store(0);
    running_.store(true);
    worker_ =
        std::jthread([this, generation = generation_, folder] { run_worker(generation, folder); });
}

bool FolderScan::is_running() const {
    return running_.load();
}

void FolderScan::end_worker() {
    if (!worker_.joinable())
        return;
    stop_flag_.store(1);
    worker_.join();
}

void FolderScan::run_worker(std::uint64_t generation, QByteArray folder) {
    std::vector<MapRow> batch;
    // The first row goes out at once, so a scan shows its first map without delay.
    auto last_delivery = std::chrono::steady_clock::time_point{};
    const auto deliver = [&] {
        QMetaObject::invokeMethod(
            this,
            [this, generation, rows = std::move(batch)]() mutable {
                deliver_rows(generation, std::move(rows));
            },
            Qt::QueuedConnection);
        batch = {};
        last_delivery = std::chrono::steady_clock::now();
    };
    Gb2312Codec codec;
    const ScanOutcome outcome =
        scan_folder(folder.toStdString(), stop_flag_, [&](const ScanEntry& entry) {
            const std::optional<std::string> map_name =
                read_map_header_at(entry.folder_fd, std::string(entry.file_name), codec);
            if (!map_name)
                return;
            batch.push_back(MapRow{
                folder,
                QByteArray(entry.file_name.data(), static_cast<qsizetype>(entry.file_name.size())),
                QString::fromStdString(*map_name), false});
            if (std::chrono::steady_clock::now() - last_delivery >= delivery_interval)
                deliver();
        });
    // Cleared before the last deliveries, so whoever receives them sees the worker has ended.
    running_.store(false);
    if (!batch.empty())
        deliver();
    // A folder that cannot be opened yields no entry, so the scan completes with what it found.
    if (outcome != ScanOutcome::stopped) {
        stop_flag_.store(1);
        QMetaObject::invokeMethod(
            this, [this, generation] { deliver_completion(generation); }, Qt::QueuedConnection);
    }
}

void FolderScan::deliver_rows(std::uint64_t generation, std::vector<MapRow> rows) {
    if (generation == generation_)
        model_.append_rows(std::move(rows));
}

void FolderScan::deliver_completion(std::uint64_t generation) {
    if (generation == generation_)
        emit completed(model_.row_count());
}

} // namespace keldra
