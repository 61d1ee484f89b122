#include "catalogue/map_list_model.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace keldra {
namespace {

MapRow make_row(const char* file_name, const char* map_name = "") {
    return MapRow{"/maps/", file_name, QString::fromUtf8(map_name), false};
}

QStringList file_names(const MapListModel& model) {
    QStringList names;
    for (int row = 0; row < model.row_count(); ++row)
        names << QString::fromUtf8(model.row_at(row).file_name);
    return names;
}

TEST(MapListModel, AppendsInOrderAsOneInsertionEach) {
    MapListModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.append_row(make_row("a.w3m"));
    model.append_rows({make_row("b.w3m"), make_row("c.w3x")});
    model.append_rows({});
    EXPECT_EQ(file_names(model), (QStringList{"a.w3m", "b.w3m", "c.w3x"}));
    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted[1][1].toInt(), 1);
    EXPECT_EQ(inserted[1][2].toInt(), 2);
}

TEST(MapListModel, ShowsFileNameWithCheckBoxAndMapName) {
    MapListModel model;
    model.append_row(make_row("\xFF"
                              "a.w3m",
                              "红色地图"));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("文件名"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("地图名"));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QString::fromUtf8("\xEF\xBF\xBD"
                                                                          "a.w3m"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QString::fromUtf8("红色地图"));
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable);
    // The raw bytes stay as they were, whatever the display shows.
    EXPECT_EQ(model.file_path(0), QByteArray("/maps/\xFF"
                                             "a.w3m"));
}

TEST(MapListModel, TicksThroughTheCheckBoxAndDirectly) {
    MapListModel model;
    model.append_rows({make_row("a.w3m"), make_row("b.w3m")});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(model.setData(model.index(1, 1), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(model.setData(model.index(0, 0), "x", Qt::EditRole));
    EXPECT_TRUE(model.row_at(1).ticked);
    EXPECT_FALSE(model.row_at(0).ticked);
    model.set_ticked(0, true);
    model.set_ticked(1, false);
    model.set_ticked(5, true);
    EXPECT_TRUE(model.row_at(0).ticked);
    EXPECT_FALSE(model.row_at(1).ticked);
    EXPECT_EQ(changed.size(), 3);
}

TEST(MapListModel, RemovesAndClears) {
    MapListModel model;
    model.append_rows({make_row("a"), make_row("b"), make_row("c"), make_row("d")});
    model.remove_row(1);
    model.remove_row(-1);
    model.remove_row(3);
    EXPECT_EQ(file_names(model), (QStringList{"a", "c", "d"}));
    model.remove_rows(1, 5);
    EXPECT_EQ(model.row_count(), 3);
    model.remove_rows(1, 2);
    EXPECT_EQ(file_names(model), (QStringList{"a"}));
    EXPECT_EQ(model.file_path(4), QByteArray());
    model.clear();
    EXPECT_EQ(model.row_count(), 0);
}

std::vector<MapRow> numbered_rows(int count) {
    std::vector<MapRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(
            MapRow{"/f" + QByteArray::number(i) + "/", QByteArray::number(i), "", i % 5 == 0});
    return rows;
}

// Rows left by remove_rows_where for a mask, and how the view learnt of it.
TEST(MapListModel, RemoveRowsWhereKeepsTheUnmarkedRowsInOrder) {
    struct Case {
        const char* label;
        int rows;
        std::function<bool(int)> remove;
        std::size_t mask_size;
        bool reset_expected;
    };
    const std::vector<Case> cases = {
        {"nothing", 10, [](int) { return false; }, 10, false},
        {"everything", 10, [](int) { return true; }, 10, false},
        {"two_runs", 10, [](int i) { return i < 3 || i > 7; }, 10, false},
        {"short_mask_keeps_the_rest", 10, [](int) { return true; }, 4, false},
        {"every_other_of_many", 1000, [](int i) { return i % 2 == 1; }, 1000, true},
    };
    for (const Case& test_case : cases) {
        MapListModel model;
        model.append_rows(numbered_rows(test_case.rows));
        std::vector<bool> mask(test_case.mask_size);
        QStringList expected;
        for (int i = 0; i < test_case.rows; ++i) {
            const bool removed = static_cast<std::size_t>(i) < mask.size() && test_case.remove(i);
            if (static_cast<std::size_t>(i) < mask.size())
                mask[static_cast<std::size_t>(i)] = removed;
            if (!removed)
                expected << QString::number(i);
        }
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.remove_rows_where(mask);
        EXPECT_EQ(file_names(model), expected) << test_case.label;
        EXPECT_EQ(reset.size(), test_case.reset_expected ? 1 : 0) << test_case.label;
        for (int row = 0; row < model.row_count(); ++row) {
            const int number = model.row_at(row).file_name.toInt();
            EXPECT_EQ(model.file_path(row),
                      "/f" + QByteArray::number(number) + "/" + QByteArray::number(number));
            EXPECT_EQ(model.row_at(row).ticked, number % 5 == 0);
        }
    }
}

} // namespace
} // namespace keldra
