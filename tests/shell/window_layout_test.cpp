// The window as the user first sees it: controls, captions, menus and the map list's menu.
#include "shell/picture_box.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QComboBox>
#include <QHeaderView>
#include <QImageReader>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace keldra::test {
namespace {

using WindowLayoutTest = WindowTest;

struct Place {
    const char* name;
    QRect geometry;
    const char* caption; // nullptr: the control has no caption
};

TEST_F(WindowLayoutTest, ControlsSitAtTheirPlacesWithTheirCaptions) {
    start_window();
    const Place places[] = {
        {"驱动器框1", {0, 0, 124, 20}, nullptr},
        {"目录框1", {10, 24, 109, 376}, nullptr},
        {"超级列表框1", {126, 2, 504, 398}, nullptr},
        {"图片框1", {633, 20, 168, 168}, nullptr},
        {"图片框2", {633, 210, 168, 168}, nullptr},
        {"标签3", {640, 0, 80, 24}, "预览图："},
        {"标签4", {635, 189, 80, 24}, "小地图："},
        {"按钮5", {631, 392, 73, 32}, "保存预览图\r\n图片"},
        {"按钮7", {714, 392, 73, 32}, "保存小地图\r\n图片"},
        {"按钮1", {10, 407, 88, 32}, "搜索地图"},
        {"按钮2", {138, 407, 88, 32}, "重命名勾选项为地图名"},
        {"按钮3", {261, 407, 88, 32}, "删除勾选项"},
        {"按钮4", {380, 407, 48, 32}, "全选"},
        {"按钮6", {434, 407, 48, 32}, "取消\r\n选择"},
        {"按钮8", {512, 407, 88, 32}, "打开当前目录"},
        {"标签2", {639, 428, 169, 24}, "搜索到地图数："},
        {"标签1", {2, 439, 630, 16}, nullptr},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        QWidget* widget = control<QWidget>(place.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), window_->centralWidget());
        EXPECT_EQ(widget->geometry(), place.geometry);
        EXPECT_TRUE(widget->isVisible());
        if (place.caption == nullptr) {
            continue;
        }
        const QString expected = QString::fromUtf8(place.caption);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), expected);
        } else {
            EXPECT_EQ(qobject_cast<QLabel*>(widget)->text(), expected);
        }
    }
    EXPECT_EQ(window_->size(), QSize(809, 508));
    EXPECT_EQ(window_->pos(), QPoint(50, 50));
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Keldra 1.6正式版"));
}

TEST_F(WindowLayoutTest, TwoLineCaptionsTakeTwoLines) {
    start_window();
    for (const char* name : {"按钮5", "按钮7", "按钮6"}) {
        SCOPED_TRACE(name);
        auto* button = control<QAbstractButton>(name);
        // Drawn on two lines, the caption needs about twice the height of one line.
        QImage one_line(button->size(), QImage::Format_ARGB32);
        button->render(&one_line);
        int inked_rows = 0;
        for (int y = 0; y < one_line.height(); ++y) {
            for (int x = 6; x < one_line.width() - 6; ++x) {
                if (qGray(one_line.pixel(x, y)) < 80) {
                    ++inked_rows;
                    break;
                }
            }
        }
        EXPECT_GT(inked_rows, button->fontMetrics().height() + 2);
    }
}

TEST_F(WindowLayoutTest, PictureBoxesShowTheSamePlaceholder) {
    start_window();
    const QByteArray first = control<PictureBox>("图片框1")->picture();
    const QByteArray second = control<PictureBox>("图片框2")->picture();
    EXPECT_EQ(first, second);
    QBuffer buffer;
    buffer.setData(first);
    QImageReader reader(&buffer);
    EXPECT_EQ(reader.size(), QSize(142, 141));
    const QImage picture = QImage::fromData(first);
    ASSERT_FALSE(picture.isNull());
    // Dark blue ground in the corner, gold in the middle of the mark.
    const QColor corner = picture.pixelColor(2, 2);
    EXPECT_GT(corner.blue(), corner.red());
    EXPECT_LT(corner.value(), 120);
    int golden = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            golden += (c.red() > 150 && c.green() > 100 && c.blue() < 90) ? 1 : 0;
        }
    }
    EXPECT_GT(golden, 400);
}

TEST_F(WindowLayoutTest, MapListIsAReportWithCheckBoxes) {
    const QByteArray folder = make_folder("maps");
    write_map(folder, "one.w3x", "One");
    write_settings(folder);
    start_window();
    wait_for_scan_end();
    QTableView* list = map_list();
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("文件名"));
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("地图名"));
    EXPECT_EQ(list->columnWidth(0), 250);
    EXPECT_EQ(list->columnWidth(1), 250);
    EXPECT_FALSE(list->horizontalHeader()->sectionsClickable());
    EXPECT_FALSE(list->verticalHeader()->isVisible());
    EXPECT_FALSE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(list->palette().color(QPalette::Text), QColor(Qt::black));
    const QModelIndex first = list->model()->index(0, 0);
    EXPECT_TRUE(list->model()->flags(first) & Qt::ItemIsUserCheckable);

    // A click on the check box ticks the row.
    const QRect row = list->visualRect(first);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = row;
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_TRUE(window_->map_list_model().row_at(0).ticked);
}

struct MenuCase {
    const char* menu;
    std::vector<std::pair<const char*, bool>> items; // caption, enabled
};

std::vector<std::pair<QString, bool>> items_of(const QMenu* menu) {
    std::vector<std::pair<QString, bool>> items;
    for (const QAction* item : menu->actions()) {
        EXPECT_FALSE(item->isSeparator()) << item->text().toStdString();
        EXPECT_TRUE(item->isVisible());
        items.emplace_back(item->text(), item->isEnabled());
    }
    return items;
}

std::vector<std::pair<QString, bool>> expected_items(const MenuCase& menu) {
    std::vector<std::pair<QString, bool>> items;
    for (const auto& [caption, enabled] : menu.items) {
        items.emplace_back(QString::fromUtf8(caption), enabled);
    }
    return items;
}

TEST_F(WindowLayoutTest, MenuBarHoldsEveryItemInItsInitialState) {
    start_window();
    const std::vector<MenuCase> menus{
        {"选项", {{"打开桌面", true}, {"--------", false}, {"退出", true}}},
        {"更多", {{"论坛", true}, {"我的主页", false}, {"关于", true}, {"给我留言", true}}},
        {"更新", {{"检测更新", true}, {"更新说明", true}, {"最新公告", true}}},
        {"帮助", {{"使用帮助", true}}},
    };
    const QList<QAction*> top = window_->menuBar()->actions();
    ASSERT_EQ(top.size(), static_cast<qsizetype>(menus.size()));
    for (std::size_t i = 0; i < menus.size(); ++i) {
        SCOPED_TRACE(menus[i].menu);
        EXPECT_EQ(top[static_cast<qsizetype>(i)]->text(), QString::fromUtf8(menus[i].menu));
        EXPECT_TRUE(top[static_cast<qsizetype>(i)]->isEnabled());
        ASSERT_NE(top[static_cast<qsizetype>(i)]->menu(), nullptr);
        EXPECT_EQ(items_of(top[static_cast<qsizetype>(i)]->menu()), expected_items(menus[i]));
    }
}

TEST_F(WindowLayoutTest, ListMenuIsHiddenFromTheMenuBar) {
    start_window();
    const MenuCase list_menu{"超级列表框菜单",
                             {{"刷新", true},
                              {"停止刷新", false},
                              {"移动勾选文件到...", true},
                              {"复制勾选文件到...", true},
                              {"删除勾选文件", true}}};
    EXPECT_EQ(items_of(window_->list_menu()), expected_items(list_menu));
    for (const QAction* top : window_->menuBar()->actions()) {
        EXPECT_NE(top->menu(), window_->list_menu());
    }
}

TEST_F(WindowLayoutTest, OneRightClickPopsUpTheListMenuOnce) {
    start_window();
    QMenu* menu = window_->list_menu();
    int shown = 0;
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&] {
        ++shown;
        QTimer::singleShot(20, menu, &QMenu::hide);
    });
    QTableView* list = map_list();
    const QPoint inside = list->viewport()->mapTo(window_.get(), QPoint(100, 100));
    QTest::mouseClick(window_->windowHandle(), Qt::RightButton, {}, inside);
    QTest::qWait(100);
    EXPECT_EQ(shown, 1);
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, inside);
    QTest::qWait(50);
    EXPECT_EQ(shown, 1) << "a left click popped the menu up";
}

} // namespace
} // namespace keldra::test
