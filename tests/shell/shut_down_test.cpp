// Shut-down: the stop flag, the converter file, the settings written and read back next time.
#include "platform/ini_file.h"
#include "platform/temp_folder.h"
#include "shell/drive_box.h"
#include "window_fixture.h"

namespace keldra::test {
namespace {

class ShutDownTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(temp_dir_.isValid());
        tmpdir_ =
            std::make_unique<ScopedEnvironment>("TMPDIR", QFile::encodeName(temp_dir_.path()));
        const auto folder = private_temp_folder(true);
        ASSERT_TRUE(folder.has_value());
        converter_ = QByteArray::fromStdString(*folder) + "conv.exe";
    }
    void TearDown() override {
        WindowTest::TearDown();
        tmpdir_.reset();
    }

    std::string setting(const char* key) const {
        return read_ini_value(settings_path().toStdString(), "目录：", key, "MISSING");
    }

    QTemporaryDir temp_dir_;
    std::unique_ptr<ScopedEnvironment> tmpdir_;
    QByteArray converter_;
};

struct CloseCase {
    const char* label;
    void (*close)(MainWindow& window);
};

const CloseCase close_cases[] = {
    {"close box", [](MainWindow& window) { window.close(); }},
    {"退出",
     [](MainWindow& window) { window.findChild<QAction*>(QStringLiteral("退出"))->trigger(); }},
};

TEST_F(ShutDownTest, ClosingWritesTheSettingsAndDeletesTheConverter) {
    for (const CloseCase& c : close_cases) {
        SCOPED_TRACE(c.label);
        const QByteArray start = make_folder("start");
        const QByteArray chosen = make_folder(QByteArray("chosen-") + c.label);
        write_file(settings_path(),
                   "; 注释\n[目录：]\n盘符：=/\n目录：=" + start + "\nextra=kept\n[其他]\nx=1\n");
        write_file(converter_, "converter");
        start_window();
        choose_folder(chosen);
        wait_for_scan_end();

        c.close(*window_);
        EXPECT_FALSE(window_->isVisible());
        EXPECT_EQ(state_->stop_flag.load(), 1);
        EXPECT_FALSE(QFile::exists(QFile::decodeName(converter_)));
        const auto* drive = control<DriveBox>("驱动器框1");
        const QByteArray volume = drive->value();
        EXPECT_EQ(setting("目录："), chosen.toStdString());
        EXPECT_EQ(setting("盘符："), volume.toStdString());
        EXPECT_EQ(read_file(settings_path()), "; 注释\n[目录：]\n盘符：=" + volume + "\n目录：=" +
                                                  chosen + "\nextra=kept\n[其他]\nx=1\n");
        window_.reset();
    }
}

TEST_F(ShutDownTest, TheNextStartRestoresWhatTheLastOneLeft) {
    const QByteArray first = make_folder("first");
    const QByteArray second = make_folder("second");
    write_map(second, "kept.w3x", "Kept");
    write_settings(first);
    start_window();
    wait_for_scan_end();
    choose_folder(second);
    wait_for_scan_end();
    window_->close();
    window_.reset();

    start_window();
    wait_for_scan_end();
    EXPECT_EQ(directory_box()->path(), second);
    EXPECT_EQ(label_text("标签1"), "当前选择目录为：" + QString::fromUtf8(second) + "/");
    EXPECT_EQ(listed_file_names(), QList<QByteArray>{"kept.w3x"});
}

TEST_F(ShutDownTest, ClosingMidScanSavesTheBoxesAndEndsAtOnce) {
    const QByteArray big = make_folder("big");
    for (int i = 0; i < 2000; ++i) {
        write_map(big, "map" + QByteArray::number(i) + ".w3x", "Map");
    }
    start_window();
    choose_folder(big);
    window_->close();
    EXPECT_EQ(state_->stop_flag.load(), 1);
    window_.reset(); // waits only for the file the worker is reading
    EXPECT_EQ(setting("目录："), big.toStdString());
}

TEST_F(ShutDownTest, AnUnwritableSettingsFileIsNoError) {
    write_settings(empty_folder_);
    start_window();
    // A folder in the file's place cannot be replaced by the new settings.
    QFile::remove(QFile::decodeName(settings_path()));
    QDir().mkpath(QFile::decodeName(settings_path()));
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(QFileInfo(QFile::decodeName(settings_path())).isDir());
}

} // namespace
} // namespace keldra::test
