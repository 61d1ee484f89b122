// Colour-code removal on map names held as GB2312 bytes.
#pragma once

#include <string>

namespace keldra {

// Removes the game's colour codes from a map name.
//   name: GB2312 (EUC-CN) bytes; a byte of 0x80 or above and the byte after it are one character.
// While the name holds a "|c" or "|C" that starts on a character boundary, the first such marker's
// 10-byte piece (the marker and the 8 bytes after it, fewer at the end of the name) is removed
// everywhere it occurs exactly, scanning over double-byte characters whole. Then every "|r" and
// "|R" is removed the same way. Returns the cleaned bytes; never fails.
std::string clean_map_name(std::string name);

} // namespace keldra
