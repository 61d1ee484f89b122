// The program's global state: what the window, the scan and the later commands share.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>

namespace keldra {

// Created empty before the main window and owned by the application; the window and the commands
// get it by reference. Everything but the stop flag belongs to the UI thread.
struct GlobalState {
    // The folder being listed: the directory box's path followed by one "/" (so "/" gives "//").
    // Raw bytes as the file system names them. Replaced whole, on the UI thread only; a scan gets
    // its own copy when it starts.
    QByteArray current_folder;
    // 1 asks a running scan to stop before its next file; 0 lets it run. Shared with the worker.
    std::atomic<int> stop_flag{0};
    // Whether map pictures are shown; set once during start-up.
    bool previews_enabled = false;
    // The keyword the filter last used; empty until the user confirms one.
    QString search_keyword;
    // The extension of a map file's name while the file is given its map name.
    QByteArray captured_extension;
};

} // namespace keldra
