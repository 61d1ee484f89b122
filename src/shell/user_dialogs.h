// Everything the program asks the user, behind one interface so that tests can answer it.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace keldra {

enum class MessageButtons { ok, yes_no };
enum class MessageIcon { none, exclamation };
enum class MessageAnswer { ok, yes, no };

// What the save-file dialog shows.
struct SaveFileRequest {
    QString title;             // window title, e.g. "保存到"
    QString filter;            // one name filter with its pattern, e.g. "图像文件(*.jpg)"
    QString default_suffix;    // appended when the typed name has none, without ".", e.g. "jpg"
    QByteArray initial_folder; // raw path the dialog opens in; empty: where the toolkit chooses
};

// Each call shows one modal question (the balloon excepted) and returns once it is answered.
// Every function is called on the UI thread. Implementations own whatever windows they show.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A message box with `title`, `text`, the buttons and the icon. Returns the button pressed;
    // closing the box otherwise gives `ok` for an OK box and `no` for a Yes/No box.
    virtual MessageAnswer show_message(const QString& title, const QString& text,
                                       MessageButtons buttons, MessageIcon icon) = 0;
    // A text-input box with `title` and `prompt` and an empty edit field. Returns the typed text
    // when the user confirms (possibly empty), nullopt when the box is cancelled.
    virtual std::optional<QString> ask_text(const QString& title, const QString& prompt) = 0;
    // A folder browser captioned `caption`. Returns the chosen folder's raw path, or nullopt when
    // cancelled.
    virtual std::optional<QByteArray> choose_folder(const QString& caption) = 0;
    // The save-file dialog. Returns the chosen file's raw path, or nullopt when cancelled.
    virtual std::optional<QByteArray> choose_save_file(const SaveFileRequest& request) = 0;
    // Shows `text` in a balloon at the mouse pointer and returns at once; a newer balloon
    // replaces an older one.
    virtual void show_balloon(const QString& text) = 0;
};

} // namespace keldra
