// The drive box: a drop-down list of the mounted file systems.
#pragma once

#include <QByteArray>
#include <QComboBox>
#include <QList>

namespace keldra {

// The index of the mount point in `mount_points` that is the longest prefix of `path` on a folder
// boundary ("/mnt/a" holds "/mnt/a/b", not "/mnt/ab"), or -1 when none is.
qsizetype volume_for_path(const QList<QByteArray>& mount_points, const QByteArray& path);

// The mount points of the mounted, real, ready file systems, as raw paths, sorted.
QList<QByteArray> mounted_volume_paths();

// The drive box. Its value is a mount point. Setting it from the program selects the volume the
// given path lies on and reports nothing; a choice of the user is reported by drive_changed().
class DriveBox : public QComboBox {
    Q_OBJECT
public:
    // Lists `mount_points`, in their order.
    explicit DriveBox(QList<QByteArray> mount_points, QWidget* parent = nullptr);

    // Selects the volume whose mount point is the longest prefix of `path`; none: no selection.
    void set_value(const QByteArray& path);
    // The selected mount point; with no selection, the mount point of the working directory's
    // volume (from the listed volumes, else "/").
    QByteArray value() const;
    const QList<QByteArray>& mount_points() const { return mount_points_; }

signals:
    // The user picked a volume from the list.
    void drive_changed();

private:
    QList<QByteArray> mount_points_;
};

} // namespace keldra
