// The keyword filter: which rows of the map list match a keyword.
#pragma once

#include <string>
#include <string_view>

class QString;

namespace keldra {

class MapListModel;

// Finds `keyword` in `text`, both UTF-8 bytes. An occurrence starts only at a character boundary
// (never on a UTF-8 continuation byte); the ASCII letters A-Z and a-z compare without case and
// every other byte must match exactly.
// Returns the 1-based byte position of the first occurrence, or -1 when there is none. An empty
// keyword is found at position 1.
int find_keyword(std::string_view text, std::string_view keyword);

// The text a row is matched against: the file name, " 分割 ", and the map name, joined directly.
std::string match_text(std::string_view file_name, std::string_view map_name);

// Removes every row whose match text does not hold `keyword`, from the last row up; rows appended
// while it runs are not tested. The caller handles an empty keyword (which would keep every row).
// Returns the model's row count afterwards. UI thread only. (Needs the Qt library.)
int apply_keyword_filter(MapListModel& model, const QString& keyword);

} // namespace keldra
