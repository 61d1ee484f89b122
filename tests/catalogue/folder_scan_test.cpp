#include "catalogue/folder_scan.h"
#include "catalogue/map_header.h"
#include "hostile_folder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

namespace keldra {
namespace {

using test::map_file_bytes;
using test::TempFolder;
using test::write_file;
using Rows = std::vector<std::pair<std::string, std::string>>;

constexpr int wait_limit_ms = 60000;

Rows model_rows(const MapListModel& model) {
    Rows rows;
    for (int row = 0; row < model.row_count(); ++row)
        rows.emplace_back(model.row_at(row).file_name.toStdString(),
                          model.row_at(row).map_name.toStdString());
    return rows;
}

// Makes `count` maps named by their number, so that a row tells which folder it came from.
Rows make_maps(const TempFolder& folder, int count, const std::string& map_name) {
    Rows rows;
    for (int i = 0; i < count; ++i) {
        const std::string name = "map" + std::to_string(i) + ".w3m";
        write_file(folder / name, map_file_bytes(map_name));
        rows.emplace_back(name, map_name);
    }
    return test::in_listing_order(folder.path(), rows);
}

// Runs the event loop until `done` holds or the limit passes.
template <typename Condition> bool process_events_until(Condition done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < wait_limit_ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Lets every delivery the ended worker posted arrive.
void drain_events(const FolderScan& scan) {
    process_events_until([&] { return !scan.is_running(); });
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class FolderScanTest : public testing::Test {
protected:
    MapListModel model;
    std::atomic<int> stop_flag{0};
    FolderScan scan{model, stop_flag};
    QSignalSpy completed{&scan, &FolderScan::completed};
};

TEST_F(FolderScanTest, FillsTheListWithTheHostileFoldersMapsThenCompletes) {
    const TempFolder folder;
    const Rows expected = test::in_listing_order(folder.path(), test::make_hostile_folder(folder));
    scan.restart(QByteArray::fromStdString(folder.folder()));
    ASSERT_TRUE(completed.wait(wait_limit_ms));
    EXPECT_EQ(model_rows(model), expected);
    EXPECT_EQ(completed[0][0].toInt(), static_cast<int>(expected.size()));
    EXPECT_EQ(stop_flag.load(), 1);
    EXPECT_FALSE(scan.is_running());
    for (int row = 0; row < model.row_count(); ++row) {
        EXPECT_EQ(model.row_at(row).folder, QByteArray::fromStdString(folder.folder()));
        EXPECT_TRUE(read_map_header(model.file_path(row).toStdString()).has_value()) << row;
    }
}

TEST_F(FolderScanTest, MissingFolderCompletesWithNoRows) {
    const TempFolder folder;
    model.append_row(MapRow{"/old/", "old.w3m", "Old", false});
    scan.restart(QByteArray::fromStdString((folder / "missing").string() + "/"));
    ASSERT_TRUE(completed.wait(wait_limit_ms));
    EXPECT_EQ(completed[0][0].toInt(), 0);
    EXPECT_EQ(model.row_count(), 0);
}

TEST_F(FolderScanTest, RowsArriveProgressivelyInListingOrder) {
    const TempFolder folder;
    const Rows expected = make_maps(folder, 5000, "M");
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    scan.restart(QByteArray::fromStdString(folder.folder()));
    ASSERT_TRUE(completed.wait(wait_limit_ms));
    EXPECT_EQ(model_rows(model), expected);
    EXPECT_GT(inserted.size(), 1);
}

TEST_F(FolderScanTest, StopKeepsTheRowsFoundSoFarAndDoesNotComplete) {
    const TempFolder folder;
    const Rows expected = make_maps(folder, 5000, "M");
    const auto stop_at_first_rows =
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { stop_flag.store(1); });
    scan.restart(QByteArray::fromStdString(folder.folder()));
    ASSERT_TRUE(process_events_until([&] { return model.row_count() > 0; }));
    QObject::disconnect(stop_at_first_rows);
    drain_events(scan);
    EXPECT_EQ(completed.size(), 0);
    const Rows rows = model_rows(model);
    ASSERT_LT(rows.size(), expected.size());
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), expected.begin()));
    EXPECT_EQ(stop_flag.load(), 1);
}

TEST_F(FolderScanTest, RestartTwiceQuicklyListsEachMapOnce) {
    const TempFolder folder;
    const Rows expected = make_maps(folder, 2000, "M");
    scan.restart(QByteArray::fromStdString(folder.folder()));
    scan.restart(QByteArray::fromStdString(folder.folder()));
    ASSERT_TRUE(completed.wait(wait_limit_ms));
    drain_events(scan);
    EXPECT_EQ(model_rows(model), expected);
    EXPECT_EQ(completed.size(), 1);
}

TEST_F(FolderScanTest, RestartOnAnotherFolderMidScanLeavesOnlyTheNewFoldersRows) {
    const TempFolder first;
    const TempFolder second;
    make_maps(first, 5000, "First");
    const Rows expected = make_maps(second, 300, "Second");
    scan.restart(QByteArray::fromStdString(first.folder()));
    ASSERT_TRUE(process_events_until([&] { return model.row_count() > 0; }));
    scan.restart(QByteArray::fromStdString(second.folder()));
    ASSERT_TRUE(completed.wait(wait_limit_ms));
    drain_events(scan);
    EXPECT_EQ(model_rows(model), expected);
    for (int row = 0; row < model.row_count(); ++row)
        EXPECT_EQ(model.row_at(row).folder, QByteArray::fromStdString(second.folder()));
    ASSERT_EQ(completed.size(), 1);
    EXPECT_EQ(completed[0][0].toInt(), 300);
}

TEST_F(FolderScanTest, FolderRemovedMidScanEnds) {
    const TempFolder parent;
    const auto folder = parent / "maps";
    std::filesystem::create_directory(folder);
    for (int i = 0; i < 5000; ++i)
        write_file(folder / ("m" + std::to_string(i) + ".w3m"), map_file_bytes("M"));
    scan.restart(QByteArray::fromStdString(folder.string() + "/"));
    ASSERT_TRUE(process_events_until([&] { return model.row_count() > 0; }));
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(process_events_until([&] { return !scan.is_running(); }));
    drain_events(scan);
    EXPECT_LE(model.row_count(), 5000);
    EXPECT_LE(completed.size(), 1);
}

TEST(FolderScanLifetime, DestroyingTheScanStopsAndWaitsForTheWorker) {
    const TempFolder folder;
    make_maps(folder, 3000, "M");
    MapListModel model;
    std::atomic<int> stop_flag{0};
    auto scan = std::make_unique<FolderScan>(model, stop_flag);
    scan->restart(QByteArray::fromStdString(folder.folder()));
    scan.reset();
    EXPECT_EQ(stop_flag.load(), 1);
    // Deliveries the worker posted before it ended must not reach the model afterwards.
    const int rows_now = model.row_count();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(model.row_count(), rows_now);
}

} // namespace
} // namespace keldra
