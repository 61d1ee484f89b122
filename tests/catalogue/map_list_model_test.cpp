#include "catalogue/map_list_model.h"

#include <QSignalSpy>
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

} // namespace
} // namespace keldra
