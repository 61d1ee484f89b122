// The map list: one row per map file the scan found, shown in two columns.
#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <vector>

namespace keldra {

struct MapRow {
    QByteArray folder;    // the folder the scan found the file in, ending in "/"
    QByteArray file_name; // raw bytes as the file system returned them
    QString map_name;     // cleaned map name, UTF-8 decoded (may be empty)
    bool ticked = false;
};

// Column 0 "文件名" shows the file name (decoded as UTF-8 for display only, invalid bytes as
// replacement characters) with a check box; column 1 "地图名" shows the map name. Rows keep the
// order they were appended in. Belongs to the UI thread.
class MapListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MapListModel(QObject* parent = nullptr);

    // Appends `row` at the end as one insertion.
    void append_row(MapRow row);
    // Appends `rows` at the end, in their order, as one insertion; nothing for an empty vector.
    void append_rows(std::vector<MapRow> rows);
    // Removes every row.
    void clear();
    // Removes row `row`; does nothing when it is out of range.
    void remove_row(int row);
    // Removes `count` rows starting at `first` as one removal; does nothing when the range is not
    // wholly inside the list.
    void remove_rows(int first, int count);
    // Removes every row i for which remove[i] is true; rows at and past remove.size() stay. A few
    // runs of neighbouring rows go one removal each, from the last up; many runs go as one reset
    // of the model, since removing each would cost a move of all the rows behind it.
    void remove_rows_where(const std::vector<bool>& remove);
    int row_count() const;
    // Precondition: 0 <= row < row_count().
    const MapRow& row_at(int row) const;
    // The row's folder followed by its file name: the path every file command uses. Empty when
    // `row` is out of range.
    QByteArray file_path(int row) const;
    // Sets the row's check box; does nothing when `row` is out of range.
    void set_ticked(int row, bool ticked);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Accepts Qt::CheckStateRole on column 0 only.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    bool has_row(int row) const;
    std::vector<MapRow> rows_;
};

} // namespace keldra
