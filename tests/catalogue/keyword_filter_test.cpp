#include "catalogue/keyword_filter.h"
#include "catalogue/map_list_model.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace keldra {
namespace {

struct FilterCase {
    const char* label;
    const char* keyword;
    QStringList kept;
};

void PrintTo(const FilterCase& test_case, std::ostream* out) {
    *out << test_case.label;
}

const std::vector<std::pair<const char*, const char*>> rows_to_filter = {
    {"dota.w3x", "DotA Allstars"},
    {"tower.w3m", "Tower Defense"},
    {"hero.W3X", "Hero Arena"},
    {"wax.w3m", "W3X Remake"},
    {"澄海.w3m", "澄海3C"},
    {"full.w3m", "ＡＢＣ"},
    {"\xFF"
     "odd.w3m",
     "Odd Name"},
};

class ApplyKeywordFilter : public testing::TestWithParam<FilterCase> {};

TEST_P(ApplyKeywordFilter, KeepsTheRowsWhoseMatchTextHoldsTheKeyword) {
    MapListModel model;
    for (const auto& [file_name, map_name] : rows_to_filter)
        model.append_row(MapRow{"/maps/", file_name, QString::fromUtf8(map_name), false});
    const int count = apply_keyword_filter(model, QString::fromUtf8(GetParam().keyword));
    QStringList kept;
    for (int row = 0; row < model.row_count(); ++row)
        kept << QString::fromUtf8(model.row_at(row).file_name);
    EXPECT_EQ(kept, GetParam().kept);
    EXPECT_EQ(count, model.row_count());
}

const QStringList all_rows = {"dota.w3x",
                              "tower.w3m",
                              "hero.W3X",
                              "wax.w3m",
                              "澄海.w3m",
                              "full.w3m",
                              QString::fromUtf8("\xFF"
                                                "odd.w3m")};

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyKeywordFilter,
    testing::Values(FilterCase{"extension_lower", "w3x", {"dota.w3x", "hero.W3X", "wax.w3m"}},
                    FilterCase{"extension_upper", "W3X", {"dota.w3x", "hero.W3X", "wax.w3m"}},
                    FilterCase{"separator_word", "分割", all_rows},
                    FilterCase{"single_space", " ", all_rows},
                    FilterCase{"across_boundary", "er.w3m 分", {"tower.w3m"}},
                    FilterCase{"chinese_exact", "澄海", {"澄海.w3m"}},
                    FilterCase{"full_width_exact", "ＡＢ", {"full.w3m"}},
                    FilterCase{"full_width_other_case", "ａｂ", {}},
                    FilterCase{"full_width_is_not_ascii", "ABC", {}},
                    FilterCase{"odd_name_by_its_text",
                               "odd name",
                               {QString::fromUtf8("\xFF"
                                                  "odd.w3m")}},
                    FilterCase{"nothing", "zzz", {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ApplyKeywordFilterList, EmptyListGivesZero) {
    MapListModel model;
    EXPECT_EQ(apply_keyword_filter(model, "w3x"), 0);
}

TEST(ApplyKeywordFilterList, FiltersAccumulate) {
    MapListModel model;
    for (const auto& [file_name, map_name] : rows_to_filter)
        model.append_row(MapRow{"/maps/", file_name, QString::fromUtf8(map_name), false});
    EXPECT_EQ(apply_keyword_filter(model, "w3x"), 3);
    EXPECT_EQ(apply_keyword_filter(model, "hero"), 1);
    EXPECT_EQ(model.row_at(0).file_name, QByteArray("hero.W3X"));
}

// Rows that stay keep their ticks and folders; removals come from the last row up.
TEST(ApplyKeywordFilterList, RemovesFromTheLastRowUpAndKeepsTheRest) {
    MapListModel model;
    for (int i = 0; i < 10; ++i)
        model.append_row(MapRow{"/f" + QByteArray::number(i) + "/",
                                (i % 3 == 0 ? "keep" : "drop") + QByteArray::number(i) + ".w3m", "",
                                i == 6});
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    EXPECT_EQ(apply_keyword_filter(model, "keep"), 4);
    EXPECT_EQ(model.file_path(2), QByteArray("/f6/keep6.w3m"));
    EXPECT_TRUE(model.row_at(2).ticked);
    ASSERT_FALSE(removed.isEmpty());
    int previous_first = model.row_count() + 10;
    for (const QList<QVariant>& removal : removed) {
        EXPECT_LT(removal[1].toInt(), previous_first);
        previous_first = removal[1].toInt();
    }
}

TEST(ApplyKeywordFilterList, InterleavedLongListKeepsTheMatchesInOrder) {
    MapListModel model;
    std::vector<MapRow> rows;
    QList<QByteArray> expected;
    for (int i = 0; i < 2000; ++i) {
        const QByteArray name = "map" + QByteArray::number(i) + (i % 3 == 0 ? ".w3x" : ".w3m");
        rows.push_back(MapRow{"/maps/", name, "", false});
        if (i % 3 == 0)
            expected << name;
    }
    model.append_rows(std::move(rows));
    EXPECT_EQ(apply_keyword_filter(model, "W3X"), static_cast<int>(expected.size()));
    QList<QByteArray> kept;
    for (int row = 0; row < model.row_count(); ++row)
        kept << model.row_at(row).file_name;
    EXPECT_EQ(kept, expected);
}

} // namespace
} // namespace keldra
