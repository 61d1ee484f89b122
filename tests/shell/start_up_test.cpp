// Start-up: the order of its steps, the previews question, settings restored, the connection test.
#include "shell/drive_box.h"
#include "window_fixture.h"

#include <QMenu>
#include <QMenuBar>

namespace keldra::test {
namespace {

using StartUpTest = WindowTest;

const QString previews_question =
    QStringLiteral("请把本程序放在魔兽目录下运行 否则将无法使用地图预览功能");

TEST_F(StartUpTest, WithoutArchiveReaderAsksOnceAfterTheCaptionAndBeforeTheList) {
    const QByteArray folder = make_folder("maps");
    write_map(folder, "a.w3x", "A");
    write_settings(folder);
    QString caption_when_asked;
    QString folder_label_when_asked;
    int rows_when_asked = -1;
    dialogs_.on_question = [&](const Question&) {
        caption_when_asked = window_->windowTitle();
        folder_label_when_asked = label_text("标签1");
        rows_when_asked = window_->map_list_model().row_count();
    };
    start_window(false);
    wait_for_scan_end();

    ASSERT_EQ(dialogs_.questions.size(), 1U);
    const Question& question = dialogs_.questions.front();
    EXPECT_EQ(question.kind, Question::Kind::message);
    EXPECT_EQ(question.title, QStringLiteral("信息："));
    EXPECT_EQ(question.text, previews_question);
    EXPECT_EQ(question.buttons, MessageButtons::ok);
    EXPECT_EQ(question.icon, MessageIcon::none);
    EXPECT_EQ(caption_when_asked, QStringLiteral("Keldra 1.6正式版"));
    EXPECT_EQ(folder_label_when_asked, QStringLiteral("未设置"))
        << "asked after the folder was set";
    EXPECT_EQ(rows_when_asked, 0);
    EXPECT_FALSE(state_->previews_enabled);
    EXPECT_EQ(window_->map_list_model().row_count(), 1);
}

TEST_F(StartUpTest, WithArchiveReaderAsksNothingAndShowsPreviews) {
    start_window(true);
    EXPECT_TRUE(dialogs_.questions.empty());
    EXPECT_TRUE(state_->previews_enabled);
}

TEST_F(StartUpTest, ConnectionIsTestedOnceAfterTheFirstScanStarted) {
    const QByteArray folder = make_folder("maps");
    write_settings(folder);
    QString folder_label_when_tested;
    QByteArray scanned_folder_when_tested;
    connection_.on_call = [&] {
        folder_label_when_tested = label_text("标签1");
        scanned_folder_when_tested = state_->current_folder;
    };
    start_window();
    EXPECT_EQ(connection_.calls, 1);
    EXPECT_EQ(folder_label_when_tested, "当前选择目录为：" + QString::fromUtf8(folder) + "/");
    EXPECT_EQ(scanned_folder_when_tested, folder + "/");
    wait_for_scan_end();
    EXPECT_EQ(label_text("标签2"), QStringLiteral("找到地图文件：0"));
}

struct ConnectionCase {
    bool connected;
    const char* caption;
};

TEST_F(StartUpTest, UpdateMenuReflectsTheConnection) {
    for (const ConnectionCase& c :
         {ConnectionCase{true, "更新"}, ConnectionCase{false, "没有连接网络 无法更新"}}) {
        SCOPED_TRACE(c.caption);
        connection_.connected = c.connected;
        start_window();
        const QAction* update = window_->menuBar()->actions().at(2);
        EXPECT_EQ(update->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(update->isEnabled(), c.connected);
        // The rest of the menu bar stays as it was.
        for (int i : {0, 1, 3}) {
            EXPECT_TRUE(window_->menuBar()->actions().at(i)->isEnabled());
        }
        window_.reset();
    }
}

TEST_F(StartUpTest, SettingsRestoreTheDriveAndTheFolder) {
    const QByteArray folder = make_folder("恢复");
    write_map(folder, "m.w3m", "M");
    write_file(settings_path(), "; kept\n[目录：]\n盘符：=" + folder + "\n目录：=" + folder + "\n");
    start_window();
    wait_for_scan_end();
    const auto* drive = control<DriveBox>("驱动器框1");
    const qsizetype volume = volume_for_path(drive->mount_points(), folder);
    ASSERT_GE(volume, 0);
    EXPECT_EQ(drive->currentIndex(), volume);
    EXPECT_EQ(directory_box()->path(), folder);
    EXPECT_EQ(state_->current_folder, folder + "/");
    EXPECT_EQ(label_text("标签1"), "当前选择目录为：" + QString::fromUtf8(folder) + "/");
    EXPECT_EQ(listed_file_names(), QList<QByteArray>{"m.w3m"});
}

TEST_F(StartUpTest, MissingSettingsStartAtTheRootFolder) {
    write_file(settings_path(), "[其他]\nx=1\n");
    start_window();
    EXPECT_EQ(directory_box()->path(), QByteArray("/"));
    EXPECT_EQ(state_->current_folder, QByteArray("//"));
    EXPECT_EQ(label_text("标签1"), QStringLiteral("当前选择目录为：//"));
    const auto* drive = control<DriveBox>("驱动器框1");
    EXPECT_EQ(drive->value(), QByteArray("/"));
    window_->stop_refresh();
}

TEST_F(StartUpTest, AnEmptyFolderValueMeansTheWorkingDirectory) {
    const QByteArray folder = make_folder("work");
    write_map(folder, "w.w3x", "W");
    write_file(settings_path(), "[目录：]\n盘符：=\n目录：=\n");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QFile::decodeName(folder)));
    start_window();
    wait_for_scan_end();
    QDir::setCurrent(previous);
    EXPECT_EQ(directory_box()->path(), folder);
    EXPECT_EQ(listed_file_names(), QList<QByteArray>{"w.w3x"});
}

TEST_F(StartUpTest, SaveDialogStartsOnTheDesktop) {
    const QByteArray desktop = make_folder("Desktop");
    const QByteArray config = make_folder("config");
    write_file(config + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"" + desktop + "\"\n");
    const ScopedEnvironment config_home("XDG_CONFIG_HOME", config);
    start_window();
    EXPECT_EQ(window_->save_dialog_initial_folder(), desktop + "/");
    const SaveFileRequest request = window_->save_dialog_request();
    EXPECT_EQ(request.title, QStringLiteral("保存到"));
    EXPECT_EQ(request.filter, QStringLiteral("图像文件(*.jpg)"));
    EXPECT_EQ(request.default_suffix, QStringLiteral("jpg"));
    EXPECT_EQ(request.initial_folder, desktop + "/");
    window_.reset();
    QDir(QFile::decodeName(desktop)).removeRecursively();
    start_window();
    EXPECT_EQ(window_->save_dialog_initial_folder(), QByteArray()) << "desktop missing";
}

} // namespace
} // namespace keldra::test
