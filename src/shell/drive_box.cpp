#include "shell/drive_box.h"

#include "shell/subfolders.h"

#include <QFile>
#include <QStorageInfo>
#include <algorithm>

namespace keldra {
namespace {

bool lies_on(const QByteArray& mount_point, const QByteArray& path) {
    if (!path.startsWith(mount_point)) {
        return false;
    }
    return mount_point.endsWith('/') || path.size() == mount_point.size() ||
           path.at(mount_point.size()) == '/';
}

} // namespace

qsizetype volume_for_path(const QList<QByteArray>& mount_points, const QByteArray& path) {
    qsizetype best = -1;
    for (qsizetype i = 0; i < mount_points.size(); ++i) {
        const QByteArray& mount_point = mount_points.at(i);
        if (!mount_point.isEmpty() && lies_on(mount_point, path) &&
            (best < 0 || mount_point.size() > mount_points.at(best).size())) {
            best = i;
        }
    }
    return best;
}

QList<QByteArray> mounted_volume_paths() {
    QList<QByteArray> paths;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) {
            paths.append(QFile::encodeName(volume.rootPath()));
        }
    }
    // Every folder lies below the root, so it is always a volume to choose, even where the mount
    // table does not show it (inside a chroot or some containers).
    paths.append("/");
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

DriveBox::DriveBox(QList<QByteArray> mount_points, QWidget* parent)
    : QComboBox(parent), mount_points_(std::move(mount_points)) {
    for (const QByteArray& mount_point : mount_points_) {
        addItem(QString::fromUtf8(mount_point));
    }
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, &DriveBox::drive_changed);
}

void DriveBox::set_value(const QByteArray& path) {
    setCurrentIndex(static_cast<int>(volume_for_path(mount_points_, path)));
}

QByteArray DriveBox::value() const {
    if (currentIndex() >= 0) {
        return mount_points_.at(currentIndex());
    }
    const qsizetype working_volume =
        volume_for_path(mount_points_, QByteArray::fromStdString(working_directory()));
    return working_volume >= 0 ? mount_points_.at(working_volume) : QByteArray("/");
}

} // namespace keldra
