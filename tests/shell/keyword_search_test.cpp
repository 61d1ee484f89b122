// `按钮1`: the keyword box, the empty-keyword message and the filtered list.
#include "window_fixture.h"

#include <QPushButton>

namespace keldra::test {
namespace {

class KeywordSearchTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        folder_ = make_folder("maps");
        write_map(folder_, "a1.w3x", "Alpha");
        write_map(folder_, "b2.w3x", "Beta");
        write_map(folder_, "c3.w3m", "Gamma W3X Edition");
        write_map(folder_, "d4.w3m", "Delta");
        write_settings(folder_);
    }

    void click_search() const { QTest::mouseClick(control<QPushButton>("按钮1"), Qt::LeftButton); }

    QList<QByteArray> sorted_names() const {
        QList<QByteArray> names = listed_file_names();
        std::sort(names.begin(), names.end());
        return names;
    }

    QByteArray folder_;
};

struct SearchStep {
    const char* label;
    std::optional<QString> typed; // nullopt: Cancel
    bool empty_message;
    QList<QByteArray> rows_left;
};

TEST_F(KeywordSearchTest, KeywordsFilterAndAccumulate) {
    start_window();
    wait_for_scan_end();
    const QList<QByteArray> all{"a1.w3x", "b2.w3x", "c3.w3m", "d4.w3m"};
    const std::vector<SearchStep> steps{
        {"cancel before any keyword", std::nullopt, true, all},
        {"confirmed empty field", QString(), true, all},
        {"any letter case", QStringLiteral("W3x"), false, {"a1.w3x", "b2.w3x", "c3.w3m"}},
        {"cancel reuses the keyword", std::nullopt, false, {"a1.w3x", "b2.w3x", "c3.w3m"}},
        {"a second keyword narrows", QStringLiteral("alpha"), false, {"a1.w3x"}},
        {"the separator keeps every row", QStringLiteral("分割"), false, {"a1.w3x"}},
        {"no match empties the list", QStringLiteral("zzz"), false, {}},
    };
    for (const SearchStep& step : steps) {
        SCOPED_TRACE(step.label);
        const QString count_before = label_text("标签2");
        dialogs_.questions.clear();
        dialogs_.text_answers.push_back(step.typed);
        click_search();

        ASSERT_GE(dialogs_.questions.size(), 1U);
        EXPECT_EQ(dialogs_.questions[0].kind, Question::Kind::text);
        EXPECT_EQ(dialogs_.questions[0].title, QStringLiteral("关键字"));
        EXPECT_EQ(dialogs_.questions[0].text, QStringLiteral("请输入你要搜索的关键字"));
        EXPECT_EQ(sorted_names(), step.rows_left);
        if (step.empty_message) {
            ASSERT_EQ(dialogs_.questions.size(), 2U);
            EXPECT_EQ(dialogs_.questions[1].title, QStringLiteral("错误"));
            EXPECT_EQ(dialogs_.questions[1].text, QStringLiteral("搜索的关键字为空"));
            EXPECT_EQ(dialogs_.questions[1].buttons, MessageButtons::ok);
            EXPECT_EQ(dialogs_.questions[1].icon, MessageIcon::none);
            EXPECT_EQ(label_text("标签2"), count_before);
        } else {
            EXPECT_EQ(dialogs_.questions.size(), 1U);
            EXPECT_EQ(label_text("标签2"),
                      "找到地图文件：" + QString::number(step.rows_left.size()));
        }
    }
}

TEST_F(KeywordSearchTest, ANewScanBringsTheRowsBackAndKeepsTheKeyword) {
    start_window();
    wait_for_scan_end();
    dialogs_.text_answers.push_back(QStringLiteral("beta"));
    click_search();
    EXPECT_EQ(sorted_names(), QList<QByteArray>{"b2.w3x"});
    action("刷新")->trigger();
    wait_for_scan_end();
    EXPECT_EQ(window_->map_list_model().row_count(), 4);
    EXPECT_EQ(state_->search_keyword, QStringLiteral("beta"));
}

} // namespace
} // namespace keldra::test
