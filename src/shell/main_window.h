// The main window: its controls and menus, start-up and shut-down, folder selection, and the
// wiring of the map list to the folder scan and the keyword filter.
#pragma once

#include "catalogue/folder_scan.h"
#include "catalogue/map_list_model.h"
#include "shell/connection_test.h"
#include "shell/global_state.h"
#include "shell/user_dialogs.h"

#include <QByteArray>
#include <QMainWindow>
#include <QUrl>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace keldra {

class DirectoryBox;
class DriveBox;
class PictureBox;

// What the window needs from the world outside it; every reference must outlive the window.
struct MainWindowDependencies {
    // Whether map archives can be read (the program links StormLib, so true); false makes
    // start-up say that previews are unavailable and switch them off.
    bool archive_reader_available;
    UserDialogs& dialogs;
    ConnectionTest& connection_test;
    // The folder holding the executable, raw bytes, without a trailing "/": the settings file
    // "Keldra.ini" lives there.
    QByteArray run_directory;
    // Hands a folder or web address to the desktop's "open" action; empty means
    // QDesktopServices::openUrl.
    std::function<void(const QUrl&)> open_url;
};

// Builds every control and menu on construction; start_up() then runs the start-up steps. The
// shut-down steps run once, when the window is closed (close box or "退出"), or at the latest when
// it is destroyed. UI thread only.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `state` must outlive the window.
    MainWindow(GlobalState& state, MainWindowDependencies dependencies, QWidget* parent = nullptr);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Start-up steps 1 to 8: theme, caption, previews (asking when no archive reader exists), the
    // save dialog's folder, settings restored, first scan started, connection test.
    void start_up();

    // Current folder = the directory box's path + "/", shown in `标签1`.
    void apply_directory();
    // The user chose a folder: stop the scan, apply the directory, scan it.
    void directory_chosen();
    // The user picked a drive: its mount point becomes the directory box's path; no scan.
    void drive_changed();
    // "打开桌面": the desktop folder is chosen (the working directory when there is none).
    void show_desktop();
    // `按钮8`: the current folder opens in the file manager.
    void open_current_folder();
    // "刷新" and "停止刷新" of the map list's menu.
    void refresh();
    void stop_refresh();
    // `按钮1`: asks for a keyword and removes the rows that do not hold it.
    void search_maps();

    MapListModel& map_list_model() { return map_list_model_; }
    const FolderScan& folder_scan() const { return folder_scan_; }
    // The folder the save dialog opens in: the desktop with "/" appended, or empty.
    const QByteArray& save_dialog_initial_folder() const { return save_dialog_initial_folder_; }
    // The save dialog `通用对话框1` as the picture buttons show it: title "保存到", the one filter
    // "图像文件(*.jpg)", suffix "jpg", opening in save_dialog_initial_folder().
    SaveFileRequest save_dialog_request() const;
    // The map list's context menu "超级列表框菜单".
    QMenu* list_menu() const { return list_menu_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void build_buttons(QWidget* area);
    void build_labels(QWidget* area);
    void build_map_list(QWidget* area);
    void build_menus();
    void connect_controls();

    void ask_about_previews();
    void restore_settings();
    void save_settings() const;
    void test_connection();
    void shut_down();
    void scan_completed(int row_count);
    void show_found_count(int row_count);
    void show_previews_of_selected_row();
    void pop_up_list_menu();
    QByteArray settings_path() const;

    GlobalState& state_;
    MainWindowDependencies dependencies_;
    MapListModel map_list_model_;
    FolderScan folder_scan_;
    QByteArray save_dialog_initial_folder_;
    bool shut_down_done_ = false;

    DriveBox* drive_box_ = nullptr;
    DirectoryBox* directory_box_ = nullptr;
    QTableView* map_list_ = nullptr;
    PictureBox* preview_box_ = nullptr;
    PictureBox* minimap_box_ = nullptr;
    QLabel* folder_label_ = nullptr;
    QLabel* count_label_ = nullptr;
    QPushButton* search_button_ = nullptr;
    QPushButton* open_folder_button_ = nullptr;
    QMenu* update_menu_ = nullptr;
    QMenu* list_menu_ = nullptr;
    QAction* refresh_action_ = nullptr;
    QAction* stop_refresh_action_ = nullptr;
};

// The desktop folder (`folder` 0; no other number is known) with "/" appended, as raw bytes; empty
// when the system names none or it does not exist.
QByteArray special_folder_path(int folder);

} // namespace keldra
