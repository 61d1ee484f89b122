// Where the running program lives.
#pragma once

#include <QByteArray>

namespace keldra {

// The folder holding the running executable, raw bytes, without a trailing "/" (the root folder
// gives "/"). Empty when the system cannot tell.
QByteArray run_directory();

} // namespace keldra
