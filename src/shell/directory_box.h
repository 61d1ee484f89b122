// The directory box: a folder tree whose value is a path.
#pragma once

#include <QByteArray>
#include <QTreeView>

class QStandardItem;
class QStandardItemModel;

namespace keldra {

// Shows its path as a chain of nodes, one per part of the path, all expanded, with the folders
// inside the path under the last node, which is selected. Each node keeps its folder's raw path,
// so folders whose names are not valid UTF-8 stay reachable. Setting the path from the program
// reports nothing; a double-click or Enter on a node makes that node's folder the path, lists its
// folders and reports folder_chosen().
class DirectoryBox : public QTreeView {
    Q_OBJECT
public:
    explicit DirectoryBox(QWidget* parent = nullptr);

    // Keeps `path` as given (raw bytes) and shows it; an empty path means the working directory.
    void set_path(const QByteArray& path);
    // The path as last set or chosen.
    QByteArray path() const { return path_; }
    // Makes the folder of the node at `index` the path, as a double-click on it does.
    void choose(const QModelIndex& index);
    // The raw path of the node at `index`; empty for an invalid index.
    QByteArray node_path(const QModelIndex& index) const;

signals:
    // The user chose a folder; path() now holds it.
    void folder_chosen();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStandardItem* add_node(QStandardItem* parent, const QByteArray& name, const QByteArray& path);

    QStandardItemModel* folders_;
    QByteArray path_;
};

} // namespace keldra
