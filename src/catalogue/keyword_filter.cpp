#include "catalogue/keyword_filter.h"

#include "catalogue/map_list_model.h"

#include <QString>
#include <vector>

namespace keldra {
namespace {

bool row_matches(const MapRow& row, std::string_view keyword) {
    const QByteArray map_name = row.map_name.toUtf8();
    const std::string text =
        match_text(std::string_view(row.file_name.constData(), row.file_name.size()),
                   std::string_view(map_name.constData(), map_name.size()));
    return find_keyword(text, keyword) != -1;
}

} // namespace

int apply_keyword_filter(MapListModel& model, const QString& keyword) {
    const QByteArray utf8_keyword = keyword.toUtf8();
    const std::string_view keyword_bytes(utf8_keyword.constData(), utf8_keyword.size());
    // Every row is tested before any goes, which gives the same rows as testing and removing from
    // the last row up, and lets the model remove them without shifting the list once per row.
    std::vector<bool> remove(static_cast<std::size_t>(model.row_count()));
    for (int row = 0; row < model.row_count(); ++row)
        remove[static_cast<std::size_t>(row)] = !row_matches(model.row_at(row), keyword_bytes);
    model.remove_rows_where(remove);
    return model.row_count();
}

} // namespace keldra
