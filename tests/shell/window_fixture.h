// A main window on a temporary run directory, with scripted dialogs and a fake connection test.
#pragma once

#include "scripted_dialogs.h"
#include "shell/directory_box.h"
#include "shell/global_state.h"
#include "shell/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace keldra::test {

// Processes events until `done` holds; false when `timeout_ms` ran out first.
template <typename Predicate> bool wait_until(Predicate done, int timeout_ms = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout_ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// The bytes of a map file whose header holds `map_name`.
inline QByteArray map_bytes(const QByteArray& map_name) {
    return QByteArray("HM3W\x01\x02\x03\x04", 8) + map_name + '\0' + "archive";
}

// Paths here are raw bytes, handed to the system unconverted, so names that are not UTF-8 work.
inline void write_file(const QByteArray& path, const QByteArray& bytes) {
    std::ofstream file(path.constData(), std::ios::binary | std::ios::trunc);
    file.write(bytes.constData(), bytes.size());
    ASSERT_TRUE(file.good()) << path.constData();
}

inline QByteArray read_file(const QByteArray& path) {
    std::ifstream file(path.constData(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return QByteArray::fromStdString(bytes);
}

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), had_value_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (had_value_) {
            qputenv(name_, saved_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    bool had_value_;
    QByteArray saved_;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(run_dir_.isValid());
        ASSERT_TRUE(maps_dir_.isValid());
        empty_folder_ = make_folder("empty");
    }

    void TearDown() override {
        window_.reset();
        // Qt cannot name files whose names are not UTF-8; the system removes them by their bytes.
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(maps_dir_.path()).constData(), ignored);
    }

    QByteArray run_directory() const { return QFile::encodeName(run_dir_.path()); }
    QByteArray settings_path() const { return run_directory() + "/Keldra.ini"; }

    // A new folder inside the test's map folder; `name` may be raw bytes.
    QByteArray make_folder(const QByteArray& name) const {
        const QByteArray path = QFile::encodeName(maps_dir_.path()) + '/' + name;
        std::error_code error;
        std::filesystem::create_directories(path.constData(), error);
        EXPECT_FALSE(error) << "cannot make " << path.constData();
        return path;
    }

    static void write_map(const QByteArray& folder, const QByteArray& file_name,
                          const QByteArray& map_name) {
        write_file(folder + '/' + file_name, map_bytes(map_name));
    }

    // Settings that start the window on `folder`.
    void write_settings(const QByteArray& folder) const {
        write_file(settings_path(), "[目录：]\n盘符：=/\n目录：=" + folder + "\n");
    }

    // Builds the window, runs its start-up and shows it. Without settings of the test's own it
    // starts on an empty folder, so no test scans the real root folder by accident.
    MainWindow& start_window(bool archive_reader_available = true) {
        if (!std::filesystem::exists(settings_path().constData())) {
            write_settings(empty_folder_);
        }
        state_ = std::make_unique<GlobalState>();
        window_ = std::make_unique<MainWindow>(
            *state_,
            MainWindowDependencies{archive_reader_available, dialogs_, connection_, run_directory(),
                                   [this](const QUrl& url) { opened_.push_back(url); }});
        QObject::connect(&window_->folder_scan(), &FolderScan::completed, window_.get(),
                         [this] { ++completions_; });
        window_->start_up();
        window_->show();
        return *window_;
    }

    // Waits until no scan runs and everything it sent has reached the window. The worker's last
    // rows and its completion travel after it has ended; a stopped scan sends no completion, so
    // its last rows get a grace period instead.
    void wait_for_scan_end() const {
        const int seen = completions_;
        ASSERT_TRUE(wait_until([&] { return !window_->folder_scan().is_running(); }));
        wait_until([&] { return completions_ > seen; }, 300);
        QCoreApplication::processEvents();
    }

    template <typename T> T* control(const char* name) const {
        T* found = window_->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString label_text(const char* name) const { return control<QLabel>(name)->text(); }
    QAction* action(const char* name) const { return control<QAction>(name); }
    DirectoryBox* directory_box() const { return control<DirectoryBox>("目录框1"); }
    QTableView* map_list() const { return control<QTableView>("超级列表框1"); }

    // Double-clicks the directory box's node for `path`, as the user chooses a folder.
    void choose_folder(const QByteArray& path) const {
        DirectoryBox* box = directory_box();
        box->set_path(path);
        const QRect node = box->visualRect(box->currentIndex());
        const QPoint on_node(node.left() + 3, node.center().y());
        ASSERT_TRUE(box->viewport()->rect().contains(on_node));
        // Through the window, so that Qt turns the clicks into events as for a real mouse.
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {},
                           box->viewport()->mapTo(window_.get(), on_node));
        ASSERT_EQ(box->path(), path);
    }

    // The file names of the list's rows, in row order.
    QList<QByteArray> listed_file_names() const {
        QList<QByteArray> names;
        const MapListModel& model = window_->map_list_model();
        for (int row = 0; row < model.row_count(); ++row) {
            names.append(model.row_at(row).file_name);
        }
        return names;
    }

    QTemporaryDir run_dir_;
    QTemporaryDir maps_dir_;
    QByteArray empty_folder_;
    ScriptedDialogs dialogs_;
    FakeConnectionTest connection_;
    std::vector<QUrl> opened_;
    int completions_ = 0;
    std::unique_ptr<GlobalState> state_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace keldra::test
