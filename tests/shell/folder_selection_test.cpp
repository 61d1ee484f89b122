// Choosing the folder: the drive box, the directory box, the desktop, opening the folder.
#include "shell/drive_box.h"
#include "shell/subfolders.h"
#include "window_fixture.h"

#include <QPushButton>
#include <QStandardItemModel>

namespace keldra::test {
namespace {

struct VolumeCase {
    const char* path;
    qsizetype expected;
};

TEST(VolumeForPath, PicksTheLongestMountPointOnAFolderBoundary) {
    const QList<QByteArray> mounts{"/", "/mnt/a", "/mnt/a/b", "/media/盘", "/srv/"};
    const VolumeCase cases[] = {
        {"/", 0},       {"/home/user", 0}, {"/mnt/a", 1},    {"/mnt/a/", 1},
        {"/mnt/ab", 0}, {"/mnt/a/b/c", 2}, {"/mnt/a/bc", 1}, {"/media/盘/地图", 3},
        {"/srv/x", 4},  {"relative", -1},  {"", -1},
    };
    for (const VolumeCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(volume_for_path(mounts, c.path), c.expected);
    }
    EXPECT_EQ(volume_for_path({"/mnt"}, "/home"), -1);
}

TEST(MountedVolumePaths, AlwaysHoldTheRootOnce) {
    const QList<QByteArray> paths = mounted_volume_paths();
    EXPECT_EQ(paths.count("/"), 1) << "without the root, folders outside every listed mount point "
                                      "have no volume (as inside a chroot)";
}

TEST(DriveBoxValue, WithoutSelectionItIsTheWorkingDirectorysVolume) {
    DriveBox box({"/", "/nowhere-mounted"});
    box.set_value("/nowhere-mounted/x");
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.value(), QByteArray("/nowhere-mounted"));
    box.set_value("not a path");
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.value(), QByteArray("/"));
}

class FolderSelectionTest : public WindowTest {
protected:
    // The texts of the directory box's nodes from the top down along the current node's chain.
    QStringList chain_texts() const {
        QStringList texts;
        for (QModelIndex node = directory_box()->currentIndex(); node.isValid();
             node = node.parent()) {
            texts.prepend(node.data().toString());
        }
        return texts;
    }
    QStringList child_texts() const {
        QStringList texts;
        const QModelIndex current = directory_box()->currentIndex();
        for (int row = 0; row < directory_box()->model()->rowCount(current); ++row) {
            texts.append(directory_box()->model()->index(row, 0, current).data().toString());
        }
        return texts;
    }
};

TEST_F(FolderSelectionTest, DirectoryBoxShowsTheChainAndTheFoldersInside) {
    const QByteArray base = make_folder("base");
    make_folder("base/beta");
    make_folder("base/Alpha");
    make_folder("base/.hidden");
    write_file(base + "/file.w3x", map_bytes("x"));
    QFile::link(QFile::decodeName(base + "/beta"), QFile::decodeName(base + "/link"));
    start_window();
    directory_box()->set_path(base);

    QStringList expected_chain{QStringLiteral("/")};
    for (const QByteArray& part : base.split('/')) {
        if (!part.isEmpty()) {
            expected_chain.append(QString::fromUtf8(part));
        }
    }
    EXPECT_EQ(chain_texts(), expected_chain);
    EXPECT_EQ(child_texts(), (QStringList{".hidden", "Alpha", "beta", "link"}));
    for (QModelIndex node = directory_box()->currentIndex(); node.isValid(); node = node.parent()) {
        EXPECT_TRUE(directory_box()->isExpanded(node));
    }
    EXPECT_EQ(directory_box()->path(), base);
    EXPECT_EQ(state_->current_folder, empty_folder_ + "/") << "setting the path chooses nothing";
}

TEST_F(FolderSelectionTest, AFolderNameThatIsNotUtf8StaysReachable) {
    const QByteArray base = make_folder("base");
    const QByteArray raw_name("\xff\xfe-maps", 7);
    const QByteArray raw_folder = base + '/' + raw_name;
    make_folder(QByteArray("base/") + raw_name);
    write_map(raw_folder, QByteArray("\xe9t\xe9.w3x"), "Raw");
    start_window();
    directory_box()->set_path(base);
    const QModelIndex child =
        directory_box()->model()->index(0, 0, directory_box()->currentIndex());
    ASSERT_TRUE(child.isValid());
    EXPECT_TRUE(child.data().toString().contains(QChar(QChar::ReplacementCharacter)));
    directory_box()->setCurrentIndex(child);
    QTest::keyClick(directory_box(), Qt::Key_Return);

    EXPECT_EQ(directory_box()->path(), raw_folder);
    EXPECT_EQ(state_->current_folder, raw_folder + '/');
    wait_for_scan_end();
    ASSERT_EQ(window_->map_list_model().row_count(), 1);
    EXPECT_EQ(window_->map_list_model().file_path(0), raw_folder + "/\xe9t\xe9.w3x");
}

TEST_F(FolderSelectionTest, ChoosingTheRootNodeGivesTheRoot) {
    start_window();
    directory_box()->set_path(empty_folder_);
    QModelIndex root = directory_box()->currentIndex();
    while (root.parent().isValid()) {
        root = root.parent();
    }
    directory_box()->choose(root);
    EXPECT_EQ(directory_box()->path(), QByteArray("/"));
    EXPECT_EQ(state_->current_folder, QByteArray("//"));
    window_->stop_refresh();
}

TEST_F(FolderSelectionTest, ADriveChangeSetsTheFolderButKeepsTheRows) {
    const QByteArray folder = make_folder("maps");
    write_map(folder, "a.w3x", "A");
    write_settings(folder);
    start_window();
    wait_for_scan_end();
    auto* drive = control<DriveBox>("驱动器框1");
    ASSERT_GT(drive->count(), 0);
    const int last = drive->count() - 1;
    drive->setCurrentIndex(last);
    emit drive->activated(last);

    const QByteArray mount_point = drive->mount_points().at(last);
    EXPECT_EQ(directory_box()->path(), mount_point);
    EXPECT_EQ(state_->current_folder, mount_point + "/");
    EXPECT_EQ(label_text("标签1"), "当前选择目录为：" + QString::fromUtf8(mount_point) + "/");
    EXPECT_FALSE(window_->folder_scan().is_running());
    ASSERT_EQ(window_->map_list_model().row_count(), 1);
    EXPECT_EQ(window_->map_list_model().file_path(0), folder + "/a.w3x")
        << "a row must keep addressing the folder it came from";
}

TEST_F(FolderSelectionTest, ShowDesktopChoosesTheDesktop) {
    const QByteArray desktop = make_folder("桌面");
    write_map(desktop, "desk.w3x", "Desk");
    const QByteArray config = make_folder("config");
    write_file(config + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"" + desktop + "\"\n");
    const ScopedEnvironment config_home("XDG_CONFIG_HOME", config);
    start_window();
    wait_for_scan_end();
    action("打开桌面")->trigger();

    EXPECT_EQ(directory_box()->path(), desktop + "/");
    EXPECT_EQ(state_->current_folder, desktop + "//");
    auto* drive = control<DriveBox>("驱动器框1");
    EXPECT_EQ(drive->currentIndex(), volume_for_path(drive->mount_points(), desktop));
    wait_for_scan_end();
    EXPECT_EQ(listed_file_names(), QList<QByteArray>{"desk.w3x"});
}

TEST_F(FolderSelectionTest, ShowDesktopWithoutADesktopTakesTheWorkingDirectory) {
    const QByteArray config = make_folder("config");
    const QByteArray work = make_folder("work");
    write_map(work, "w.w3m", "W");
    write_file(config + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"" + work + "/missing\"\n");
    const ScopedEnvironment config_home("XDG_CONFIG_HOME", config);
    const QString previous = QDir::currentPath();
    start_window();
    wait_for_scan_end();
    ASSERT_TRUE(QDir::setCurrent(QFile::decodeName(work)));
    action("打开桌面")->trigger();
    QDir::setCurrent(previous);
    EXPECT_EQ(directory_box()->path(), work);
    wait_for_scan_end();
    EXPECT_EQ(listed_file_names(), QList<QByteArray>{"w.w3m"});
}

TEST_F(FolderSelectionTest, OpenCurrentFolderHandsItsRawPathToTheDesktop) {
    const QByteArray folder = make_folder(QByteArray("\xff \xe5\x9c\xb0", 5));
    write_settings(folder);
    start_window();
    QTest::mouseClick(control<QPushButton>("按钮8"), Qt::LeftButton);
    ASSERT_EQ(opened_.size(), 1U);
    EXPECT_TRUE(opened_[0].isLocalFile());
    EXPECT_EQ(QByteArray::fromPercentEncoding(opened_[0].path(QUrl::FullyEncoded).toLatin1()),
              folder + "/");
}

TEST(ListSubfolders, ListsFoldersOnly) {
    QTemporaryDir dir;
    const QByteArray base = QFile::encodeName(dir.path());
    for (const char* name : {"b", "A", "a", "C"}) {
        QDir().mkpath(dir.filePath(QString::fromUtf8(name)));
    }
    write_file(base + "/file", "x");
    QFile::link(dir.filePath("nowhere"), dir.filePath("dangling"));
    EXPECT_EQ(list_subfolders(base.toStdString()), (std::vector<std::string>{"A", "a", "b", "C"}));
    EXPECT_TRUE(list_subfolders(base.toStdString() + "/file").empty());
    EXPECT_TRUE(list_subfolders(base.toStdString() + "/missing").empty());
}

} // namespace
} // namespace keldra::test
