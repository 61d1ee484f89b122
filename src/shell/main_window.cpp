#include "shell/main_window.h"

#include "catalogue/keyword_filter.h"
#include "platform/ini_file.h"
#include "platform/temp_folder.h"
#include "shell/caption_button.h"
#include "shell/directory_box.h"
#include "shell/drive_box.h"
#include "shell/picture_box.h"
#include "shell/theme.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTableView>

namespace keldra {
namespace {

const QString program_caption = QStringLiteral("Keldra 1.6正式版");
const QString found_count_prefix = QStringLiteral("找到地图文件：");
const QString current_folder_prefix = QStringLiteral("当前选择目录为：");
constexpr std::string_view settings_section = "目录：";
constexpr std::string_view drive_key = "盘符：";
constexpr std::string_view folder_key = "目录：";
constexpr std::string_view default_drive = "/";
constexpr std::string_view default_folder = "/";
constexpr int column_width = 250;

struct ControlPlace {
    const char* name;
    QRect geometry;
    const char* caption;
};

// Each button with its place; the two-line captions keep their "\r\n".
constexpr ControlPlace button_places[] = {
    {"按钮5", {631, 392, 73, 32}, "保存预览图\r\n图片"},
    {"按钮7", {714, 392, 73, 32}, "保存小地图\r\n图片"},
    {"按钮1", {10, 407, 88, 32}, "搜索地图"},
    {"按钮2", {138, 407, 88, 32}, "重命名勾选项为地图名"},
    {"按钮3", {261, 407, 88, 32}, "删除勾选项"},
    {"按钮4", {380, 407, 48, 32}, "全选"},
    {"按钮6", {434, 407, 48, 32}, "取消\r\n选择"},
    {"按钮8", {512, 407, 88, 32}, "打开当前目录"},
};

constexpr ControlPlace label_places[] = {
    {"标签3", {640, 0, 80, 24}, "预览图："},
    {"标签4", {635, 189, 80, 24}, "小地图："},
    {"标签2", {639, 428, 169, 24}, "搜索到地图数："},
    {"标签1", {2, 439, 630, 16}, "未设置"},
};

struct MenuItem {
    const char* caption;
    bool enabled;
};

QAction* add_item(QMenu* menu, const MenuItem& item) {
    QAction* action = menu->addAction(QString::fromUtf8(item.caption));
    action->setObjectName(QString::fromUtf8(item.caption));
    action->setEnabled(item.enabled);
    return action;
}

QMenu* add_menu(QMenuBar* bar, const char* caption, std::initializer_list<MenuItem> items) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromUtf8(caption));
    for (const MenuItem& item : items) {
        add_item(menu, item);
    }
    return menu;
}

// A file URL for raw path bytes: percent-encoding keeps names that are not UTF-8 intact.
QUrl file_url(const QByteArray& path) {
    return QUrl::fromEncoded("file://" + path.toPercentEncoding("/"), QUrl::StrictMode);
}

} // namespace

QByteArray special_folder_path(int folder) {
    if (folder != 0) {
        return {};
    }
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) {
        return {};
    }
    QByteArray path = QFile::encodeName(desktop);
    if (!path.endsWith('/')) {
        path += '/';
    }
    return path;
}

MainWindow::MainWindow(GlobalState& state, MainWindowDependencies dependencies, QWidget* parent)
    : QMainWindow(parent), state_(state), dependencies_(std::move(dependencies)),
      folder_scan_(map_list_model_, state.stop_flag) {
    if (!dependencies_.open_url) {
        dependencies_.open_url = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    }
    setWindowTitle(QStringLiteral("Keldra"));
    resize(809, 508);
    move(50, 50);
    build_controls();
    build_menus();
    connect_controls();
}

MainWindow::~MainWindow() {
    shut_down();
}

void MainWindow::build_controls() {
    auto* area = new QWidget(this);
    setCentralWidget(area);

    drive_box_ = new DriveBox(mounted_volume_paths(), area);
    drive_box_->setObjectName(QStringLiteral("驱动器框1"));
    drive_box_->setGeometry(0, 0, 124, 20);

    directory_box_ = new DirectoryBox(area);
    directory_box_->setObjectName(QStringLiteral("目录框1"));
    directory_box_->setGeometry(10, 24, 109, 376);

    build_map_list(area);

    const QByteArray placeholder = placeholder_picture();
    preview_box_ = new PictureBox(area);
    preview_box_->setObjectName(QStringLiteral("图片框1"));
    preview_box_->setGeometry(633, 20, 168, 168);
    preview_box_->set_picture(placeholder);
    minimap_box_ = new PictureBox(area);
    minimap_box_->setObjectName(QStringLiteral("图片框2"));
    minimap_box_->setGeometry(633, 210, 168, 168);
    minimap_box_->set_picture(placeholder);

    build_buttons(area);
    build_labels(area);
}

void MainWindow::build_map_list(QWidget* area) {
    // A table view, not a tree: appending to a list of 100,000 rows then costs the UI thread only
    // the new rows, where a tree view lays out every row again.
    map_list_ = new QTableView(area);
    map_list_->setObjectName(QStringLiteral("超级列表框1"));
    map_list_->setGeometry(126, 2, 504, 398);
    map_list_->setModel(&map_list_model_);
    map_list_->setShowGrid(false);
    map_list_->setWordWrap(false);
    map_list_->verticalHeader()->hide();
    map_list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    map_list_->verticalHeader()->setDefaultSectionSize(map_list_->fontMetrics().height() + 4);
    map_list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    map_list_->setSelectionMode(QAbstractItemView::SingleSelection);
    map_list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    map_list_->horizontalHeader()->setSectionsClickable(false);
    map_list_->horizontalHeader()->setSectionsMovable(false);
    map_list_->horizontalHeader()->setHighlightSections(false);
    map_list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    map_list_->setColumnWidth(0, column_width);
    map_list_->setColumnWidth(1, column_width);
    QPalette colours = map_list_->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    map_list_->setPalette(colours);
    map_list_->setContextMenuPolicy(Qt::CustomContextMenu);
    map_list_->installEventFilter(this);
}

void MainWindow::build_buttons(QWidget* area) {
    for (const ControlPlace& place : button_places) {
        auto* button = new CaptionButton(QString::fromUtf8(place.caption), area);
        button->setObjectName(QString::fromUtf8(place.name));
        button->setGeometry(place.geometry);
    }
    search_button_ = area->findChild<QPushButton*>(QStringLiteral("按钮1"));
    open_folder_button_ = area->findChild<QPushButton*>(QStringLiteral("按钮8"));
}

void MainWindow::build_labels(QWidget* area) {
    for (const ControlPlace& place : label_places) {
        auto* label = new QLabel(QString::fromUtf8(place.caption), area);
        label->setObjectName(QString::fromUtf8(place.name));
        label->setGeometry(place.geometry);
    }
    count_label_ = area->findChild<QLabel*>(QStringLiteral("标签2"));
    folder_label_ = area->findChild<QLabel*>(QStringLiteral("标签1"));
}

void MainWindow::build_menus() {
    QMenu* options =
        add_menu(menuBar(), "选项", {{"打开桌面", true}, {"--------", false}, {"退出", true}});
    connect(options->findChild<QAction*>(QStringLiteral("打开桌面")), &QAction::triggered, this,
            &MainWindow::show_desktop);
    connect(options->findChild<QAction*>(QStringLiteral("退出")), &QAction::triggered, this,
            &QWidget::close);
    add_menu(menuBar(), "更多",
             {{"论坛", true}, {"我的主页", false}, {"关于", true}, {"给我留言", true}});
    update_menu_ =
        add_menu(menuBar(), "更新", {{"检测更新", true}, {"更新说明", true}, {"最新公告", true}});
    add_menu(menuBar(), "帮助", {{"使用帮助", true}});

    list_menu_ = new QMenu(QStringLiteral("超级列表框菜单"), this);
    list_menu_->setObjectName(QStringLiteral("超级列表框菜单"));
    refresh_action_ = add_item(list_menu_, {"刷新", true});
    stop_refresh_action_ = add_item(list_menu_, {"停止刷新", false});
    add_item(list_menu_, {"移动勾选文件到...", true});
    add_item(list_menu_, {"复制勾选文件到...", true});
    add_item(list_menu_, {"删除勾选文件", true});
}

void MainWindow::connect_controls() {
    connect(drive_box_, &DriveBox::drive_changed, this, &MainWindow::drive_changed);
    connect(directory_box_, &DirectoryBox::folder_chosen, this, &MainWindow::directory_chosen);
    connect(search_button_, &QPushButton::clicked, this, &MainWindow::search_maps);
    connect(open_folder_button_, &QPushButton::clicked, this, &MainWindow::open_current_folder);
    connect(refresh_action_, &QAction::triggered, this, &MainWindow::refresh);
    connect(stop_refresh_action_, &QAction::triggered, this, &MainWindow::stop_refresh);
    connect(map_list_, &QWidget::customContextMenuRequested, this, &MainWindow::pop_up_list_menu);
    connect(map_list_, &QAbstractItemView::clicked, this,
            &MainWindow::show_previews_of_selected_row);
    connect(&folder_scan_, &FolderScan::completed, this, &MainWindow::scan_completed);
}

void MainWindow::start_up() {
    apply_silver_theme();
    setWindowTitle(program_caption);
    state_.previews_enabled = true;
    ask_about_previews();
    save_dialog_initial_folder_ = special_folder_path(0);
    restore_settings();
    folder_scan_.restart(state_.current_folder);
    test_connection();
}

SaveFileRequest MainWindow::save_dialog_request() const {
    return {QStringLiteral("保存到"), QStringLiteral("图像文件(*.jpg)"), QStringLiteral("jpg"),
            save_dialog_initial_folder_};
}

void MainWindow::ask_about_previews() {
    if (dependencies_.archive_reader_available) {
        return;
    }
    dependencies_.dialogs.show_message(
        QStringLiteral("信息："),
        QStringLiteral("请把本程序放在魔兽目录下运行 否则将无法使用地图预览功能"),
        MessageButtons::ok, MessageIcon::none);
    state_.previews_enabled = false;
}

void MainWindow::test_connection() {
    if (dependencies_.connection_test.is_connected()) {
        return;
    }
    update_menu_->menuAction()->setEnabled(false);
    update_menu_->setTitle(QStringLiteral("没有连接网络 无法更新"));
}

QByteArray MainWindow::settings_path() const {
    return dependencies_.run_directory + "/Keldra.ini";
}

void MainWindow::restore_settings() {
    const std::string path = settings_path().toStdString();
    drive_box_->set_value(QByteArray::fromStdString(
        read_ini_value(path, settings_section, drive_key, default_drive)));
    directory_box_->set_path(QByteArray::fromStdString(
        read_ini_value(path, settings_section, folder_key, default_folder)));
    apply_directory();
}

void MainWindow::save_settings() const {
    // A settings file that cannot be written costs the user only the remembered folder.
    write_ini_values(settings_path().toStdString(), settings_section,
                     {{std::string(drive_key), drive_box_->value().toStdString()},
                      {std::string(folder_key), directory_box_->path().toStdString()}});
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shut_down();
    event->accept();
}

void MainWindow::shut_down() {
    if (shut_down_done_) {
        return;
    }
    shut_down_done_ = true;
    state_.stop_flag.store(1);
    remove_converter_file();
    save_settings();
}

void MainWindow::apply_directory() {
    state_.current_folder = directory_box_->path() + '/';
    folder_label_->setText(current_folder_prefix + QString::fromUtf8(state_.current_folder));
}

void MainWindow::directory_chosen() {
    state_.stop_flag.store(1);
    apply_directory();
    folder_scan_.restart(state_.current_folder);
}

void MainWindow::drive_changed() {
    directory_box_->set_path(drive_box_->value());
    apply_directory();
}

void MainWindow::show_desktop() {
    directory_box_->set_path(special_folder_path(0));
    drive_box_->set_value(directory_box_->path());
    directory_chosen();
}

void MainWindow::open_current_folder() {
    dependencies_.open_url(file_url(state_.current_folder));
}

void MainWindow::refresh() {
    state_.stop_flag.store(1);
    apply_directory();
    stop_refresh_action_->setEnabled(true);
    folder_scan_.restart(state_.current_folder);
}

void MainWindow::stop_refresh() {
    state_.stop_flag.store(1);
}

void MainWindow::scan_completed(int row_count) {
    refresh_action_->setEnabled(true);
    stop_refresh_action_->setEnabled(false);
    show_found_count(row_count);
}

void MainWindow::show_found_count(int row_count) {
    count_label_->setText(found_count_prefix + QString::number(row_count));
}

void MainWindow::search_maps() {
    const std::optional<QString> typed = dependencies_.dialogs.ask_text(
        QStringLiteral("关键字"), QStringLiteral("请输入你要搜索的关键字"));
    if (typed) {
        state_.search_keyword = *typed;
    }
    if (state_.search_keyword.isEmpty()) {
        dependencies_.dialogs.show_message(QStringLiteral("错误"),
                                           QStringLiteral("搜索的关键字为空"), MessageButtons::ok,
                                           MessageIcon::none);
        return;
    }
    show_found_count(apply_keyword_filter(map_list_model_, state_.search_keyword));
}

void MainWindow::show_previews_of_selected_row() {
    if (!state_.previews_enabled) {
        return;
    }
    // The preview pipeline takes the selected row from here once it exists.
}

void MainWindow::pop_up_list_menu() {
    list_menu_->exec(QCursor::pos());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == map_list_ && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            show_previews_of_selected_row();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace keldra
