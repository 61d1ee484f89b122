#include "catalogue/keyword_filter.h"

#include "catalogue/map_list_model.h"

#include <QString>

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
    // From the last row up, so a removal never shifts a row still to be tested; neighbouring
    // non-matching rows go in one removal, which keeps a large list quick to filter.
    int run_end = model.row_count();
    for (int row = model.row_count() - 1; row >= -1; --row) {
        const bool keep = row < 0 || row_matches(model.row_at(row), keyword_bytes);
        if (keep) {
            if (run_end > row + 1)
                model.remove_rows(row + 1, run_end - row - 1);
            run_end = row;
        }
    }
    return model.row_count();
}

} // namespace keldra
