#include "catalogue/map_list_model.h"

#include <algorithm>
#include <iterator>

namespace keldra {
namespace {

enum Column { file_name_column = 0, map_name_column = 1, column_count = 2 };

// Up to this many runs of removed rows are removed one by one, which keeps the view's selection
// and scroll position; each costs a move of the rows behind it.
constexpr int max_separate_removals = 32;

struct RowRun {
    int first;
    int count;
};

// The runs of neighbouring rows to remove, from the last up.
std::vector<RowRun> removal_runs(const std::vector<bool>& remove, int row_count) {
    std::vector<RowRun> runs;
    int run_end = -1;
    for (int row = std::min(row_count, static_cast<int>(remove.size())) - 1; row >= -1; --row) {
        const bool removed = row >= 0 && remove[static_cast<std::size_t>(row)];
        if (removed && run_end < 0)
            run_end = row + 1;
        if (!removed && run_end >= 0) {
            runs.push_back(RowRun{row + 1, run_end - row - 1});
            run_end = -1;
        }
    }
    return runs;
}

} // namespace

MapListModel::MapListModel(QObject* parent) : QAbstractTableModel(parent) {}

void MapListModel::append_row(MapRow row) {
    const int position = row_count();
    beginInsertRows(QModelIndex(), position, position);
    rows_.push_back(std::move(row));
    endInsertRows();
}

void MapListModel::append_rows(std::vector<MapRow> rows) {
    if (rows.empty())
        return;
    const int first = row_count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    endInsertRows();
}

void MapListModel::clear() {
    if (rows_.empty())
        return;
    beginRemoveRows(QModelIndex(), 0, row_count() - 1);
    rows_.clear();
    endRemoveRows();
}

void MapListModel::remove_row(int row) {
    remove_rows(row, 1);
}

void MapListModel::remove_rows(int first, int count) {
    if (first < 0 || count <= 0 || count > row_count() - first)
        return;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    const auto begin = rows_.begin() + first;
    rows_.erase(begin, begin + count);
    endRemoveRows();
}

void MapListModel::remove_rows_where(const std::vector<bool>& remove) {
    const std::vector<RowRun> runs = removal_runs(remove, row_count());
    if (runs.size() <= static_cast<std::size_t>(max_separate_removals)) {
        for (const RowRun& run : runs)
            remove_rows(run.first, run.count);
        return;
    }
    beginResetModel();
    std::vector<MapRow> kept;
    kept.reserve(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (row >= remove.size() || !remove[row])
            kept.push_back(std::move(rows_[row]));
    }
    rows_ = std::move(kept);
    endResetModel();
}

int MapListModel::row_count() const {
    return static_cast<int>(rows_.size());
}

const MapRow& MapListModel::row_at(int row) const {
    return rows_[static_cast<std::size_t>(row)];
}

QByteArray MapListModel::file_path(int row) const {
    if (!has_row(row))
        return {};
    const MapRow& found = row_at(row);
    return found.folder + found.file_name;
}

void MapListModel::set_ticked(int row, bool ticked) {
    if (!has_row(row))
        return;
    rows_[static_cast<std::size_t>(row)].ticked = ticked;
    const QModelIndex changed = index(row, file_name_column);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

int MapListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : row_count();
}

int MapListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : column_count;
}

QVariant MapListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !has_row(index.row()))
        return {};
    const MapRow& row = row_at(index.row());
    if (index.column() == file_name_column) {
        if (role == Qt::DisplayRole)
            return QString::fromUtf8(row.file_name);
        if (role == Qt::CheckStateRole)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
    } else if (index.column() == map_name_column && role == Qt::DisplayRole) {
        return row.map_name;
    }
    return {};
}

QVariant MapListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == file_name_column)
        return QString::fromUtf8("文件名");
    if (section == map_name_column)
        return QString::fromUtf8("地图名");
    return {};
}

Qt::ItemFlags MapListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == file_name_column)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

bool MapListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != file_name_column || role != Qt::CheckStateRole ||
        !has_row(index.row()))
        return false;
    set_ticked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

bool MapListModel::has_row(int row) const {
    return row >= 0 && row < row_count();
}

} // namespace keldra
