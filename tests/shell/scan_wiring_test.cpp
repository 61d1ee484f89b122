// The map list filled by the folder scan: choosing a folder, refresh, stop refresh.
#include "window_fixture.h"

#include <QSet>

namespace keldra::test {
namespace {

class ScanWiringTest : public WindowTest {
protected:
    // A folder of `count` maps, named "<prefix>N.w3x".
    QByteArray folder_of_maps(const QByteArray& name, int count) const {
        const QByteArray folder = make_folder(name);
        for (int i = 0; i < count; ++i) {
            write_map(folder, name + QByteArray::number(i) + ".w3x",
                      "Map " + QByteArray::number(i));
        }
        return folder;
    }
    static QSet<QByteArray> unique(const QList<QByteArray>& names) {
        return QSet<QByteArray>(names.begin(), names.end());
    }
};

TEST_F(ScanWiringTest, ChoosingAFolderListsItsMaps) {
    const QByteArray folder = make_folder("maps");
    write_map(folder, "b.w3x", "Beta");
    write_map(folder, "a.w3m", "Alpha");
    write_map(folder, "C.W3N", "Gamma");
    write_file(folder + "/notes.txt", map_bytes("not a map name"));
    write_file(folder + "/broken.w3x", "HM3X-not-a-map");
    make_folder("maps/Campaign.w3m");
    start_window();
    wait_for_scan_end();
    const QString count_before = label_text("标签2");

    choose_folder(folder);
    EXPECT_EQ(state_->current_folder, folder + "/");
    EXPECT_EQ(label_text("标签1"), "当前选择目录为：" + QString::fromUtf8(folder) + "/");
    wait_for_scan_end();

    EXPECT_EQ(unique(listed_file_names()), (QSet<QByteArray>{"a.w3m", "b.w3x", "C.W3N"}));
    EXPECT_EQ(window_->map_list_model().row_count(), 3);
    EXPECT_EQ(label_text("标签2"), QStringLiteral("找到地图文件：3"));
    EXPECT_NE(count_before, label_text("标签2"));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(window_->map_list_model().row_at(row).folder, folder + "/");
    }
}

TEST_F(ScanWiringTest, RefreshTwiceListsEachMapOnce) {
    const QByteArray folder = folder_of_maps("maps", 300);
    write_settings(folder);
    start_window();
    wait_for_scan_end();
    QAction* refresh = action("刷新");
    QAction* stop = action("停止刷新");

    refresh->trigger();
    EXPECT_TRUE(stop->isEnabled());
    refresh->trigger();
    wait_for_scan_end();

    const QList<QByteArray> names = listed_file_names();
    EXPECT_EQ(names.size(), 300);
    EXPECT_EQ(unique(names).size(), 300);
    EXPECT_EQ(label_text("标签2"), QStringLiteral("找到地图文件：300"));
    EXPECT_TRUE(refresh->isEnabled());
    EXPECT_FALSE(stop->isEnabled()) << "a completed scan disables stop refresh";
}

TEST_F(ScanWiringTest, RefreshRereadsTheDirectoryBox) {
    const QByteArray first = folder_of_maps("first", 2);
    const QByteArray second = folder_of_maps("second", 3);
    write_settings(first);
    start_window();
    wait_for_scan_end();
    directory_box()->set_path(second); // as a drive change would leave it
    action("刷新")->trigger();
    EXPECT_EQ(label_text("标签1"), "当前选择目录为：" + QString::fromUtf8(second) + "/");
    wait_for_scan_end();
    EXPECT_EQ(window_->map_list_model().row_count(), 3);
}

TEST_F(ScanWiringTest, StopRefreshKeepsTheRowsFound) {
    const QByteArray folder = folder_of_maps("many", 15000);
    start_window();
    wait_for_scan_end();
    const QString count_caption = label_text("标签2");
    QAction* stop = action("停止刷新");
    int rows_at_stop = -1;
    QObject::connect(&window_->map_list_model(), &QAbstractItemModel::rowsInserted, stop, [&] {
        if (rows_at_stop < 0) {
            rows_at_stop = window_->map_list_model().row_count();
            stop->trigger();
        }
    });
    directory_box()->set_path(folder);
    action("刷新")->trigger();
    wait_for_scan_end();

    const QList<QByteArray> names = listed_file_names();
    ASSERT_GT(rows_at_stop, 0);
    EXPECT_GE(names.size(), rows_at_stop);
    EXPECT_LT(names.size(), 15000) << "the scan ran to its end despite the stop";
    EXPECT_EQ(unique(names).size(), names.size());
    EXPECT_EQ(label_text("标签2"), count_caption);
    EXPECT_TRUE(stop->isEnabled());

    stop->trigger(); // again: nothing changes
    QCoreApplication::processEvents();
    EXPECT_EQ(listed_file_names(), names);
    EXPECT_EQ(label_text("标签2"), count_caption);
}

struct SwitchCase {
    const char* label;
    bool wait_for_first_rows;
};

TEST_F(ScanWiringTest, AnotherFolderMidScanLeavesOnlyItsMaps) {
    const QByteArray first = folder_of_maps("first", 4000);
    const QByteArray second = folder_of_maps("second", 5);
    for (const SwitchCase& c :
         {SwitchCase{"at once", false}, SwitchCase{"after rows came", true}}) {
        SCOPED_TRACE(c.label);
        start_window();
        wait_for_scan_end();
        choose_folder(first);
        if (c.wait_for_first_rows) {
            ASSERT_TRUE(wait_until([&] { return window_->map_list_model().row_count() > 0; }));
        }
        choose_folder(second);
        wait_for_scan_end();
        EXPECT_EQ(unique(listed_file_names()),
                  (QSet<QByteArray>{"second0.w3x", "second1.w3x", "second2.w3x", "second3.w3x",
                                    "second4.w3x"}));
        EXPECT_EQ(window_->map_list_model().row_count(), 5);
        EXPECT_EQ(label_text("标签2"), QStringLiteral("找到地图文件：5"));
        window_.reset();
    }
}

TEST_F(ScanWiringTest, AMissingFolderCompletesWithNoMaps) {
    const QByteArray folder = folder_of_maps("maps", 2);
    write_settings(folder);
    start_window();
    wait_for_scan_end();
    directory_box()->set_path(folder + "/gone");
    window_->directory_chosen();
    wait_for_scan_end();
    EXPECT_EQ(window_->map_list_model().row_count(), 0);
    EXPECT_EQ(label_text("标签2"), QStringLiteral("找到地图文件：0"));
}

} // namespace
} // namespace keldra::test
