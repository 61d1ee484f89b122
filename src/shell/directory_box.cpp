#include "shell/directory_box.h"

#include "shell/subfolders.h"

#include <QKeyEvent>
#include <QStandardItemModel>

namespace keldra {
namespace {

constexpr int node_path_role = Qt::UserRole + 1;

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    if (folder.isEmpty()) {
        return name;
    }
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace

DirectoryBox::DirectoryBox(QWidget* parent)
    : QTreeView(parent), folders_(new QStandardItemModel(this)) {
    setModel(folders_);
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpandsOnDoubleClick(false);
    setIndentation(8);
    connect(this, &QTreeView::doubleClicked, this, &DirectoryBox::choose);
}

QStandardItem* DirectoryBox::add_node(QStandardItem* parent, const QByteArray& name,
                                      const QByteArray& path) {
    auto* node = new QStandardItem(QString::fromUtf8(name));
    node->setData(path, node_path_role);
    node->setEditable(false);
    parent->appendRow(node);
    return node;
}

void DirectoryBox::set_path(const QByteArray& path) {
    path_ = path.isEmpty() ? QByteArray::fromStdString(working_directory()) : path;
    folders_->clear();
    QStandardItem* node = folders_->invisibleRootItem();
    QByteArray node_path;
    if (path_.startsWith('/')) {
        node_path = "/";
        node = add_node(node, node_path, node_path);
    }
    for (const QByteArray& part : path_.split('/')) {
        if (!part.isEmpty()) {
            node_path = joined(node_path, part);
            node = add_node(node, part, node_path);
        }
    }
    for (const std::string& name : list_subfolders(path_.toStdString())) {
        const QByteArray raw_name = QByteArray::fromStdString(name);
        add_node(node, raw_name, joined(node_path, raw_name));
    }
    if (node == folders_->invisibleRootItem()) {
        return;
    }
    for (QStandardItem* chain = node; chain != nullptr; chain = chain->parent()) {
        setExpanded(chain->index(), true);
    }
    setCurrentIndex(node->index());
    scrollTo(node->index());
}

QByteArray DirectoryBox::node_path(const QModelIndex& index) const {
    return index.isValid() ? index.data(node_path_role).toByteArray() : QByteArray();
}

void DirectoryBox::choose(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    set_path(node_path(index));
    emit folder_chosen();
}

void DirectoryBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        choose(currentIndex());
        return;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace keldra
