// The folder scan: fills the map list from one worker thread at a time.
#pragma once

#include "catalogue/map_list_model.h"

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace keldra {

// Runs the folder scan on one worker thread at a time and appends the rows it finds to the model,
// on the model's (UI) thread, in file-system order. The first row travels at once, the rest in
// batches of about 25 ms of the worker's work, so that a folder of many thousands of maps neither
// floods the UI thread with events and repaints nor waits until the end to show up.
// Lives on the UI thread; every member function is called there.
class FolderScan : public QObject {
    Q_OBJECT
public:
    // `model` and `stop_flag` must outlive this object. The stop flag is shared with the rest of
    // the program: anyone may set it to 1 to stop the running worker before its next file.
    FolderScan(MapListModel& model, std::atomic<int>& stop_flag, QObject* parent = nullptr);
    // Sets the stop flag to 1 and waits for the worker.
    ~FolderScan() override;
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;

    // Clears the model, ends any earlier worker (stop flag 1, wait: it stops before its next
    // file), sets the stop flag to 0 and starts a worker on `folder` (a path ending in "/"). Rows
    // of an earlier worker never reach the model afterwards. A folder that cannot be opened
    // completes at once with no row.
    void restart(const QByteArray& folder);
    // True from restart until the worker has left its loop.
    bool is_running() const;

signals:
    // On the UI thread, after the last row of a scan whose enumeration ran out was appended;
    // carries the model's row count then. Not emitted for a stopped scan. The worker has set the
    // stop flag to 1 by then.
    void completed(int row_count);

private:
    void end_worker();
    void run_worker(std::uint64_t generation, QByteArray folder);
    void deliver_rows(std::uint64_t generation, std::vector<MapRow> rows);
    void deliver_completion(std::uint64_t generation);

    MapListModel& model_;
    std::atomic<int>& stop_flag_;
    std::uint64_t generation_ = 0;
    std::atomic<bool> running_{false};
    std::jthread worker_;
};

} // namespace keldra
