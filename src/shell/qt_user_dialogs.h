// The user dialogs of the real program: Qt's message, input and file dialogs.
#pragma once

#include "shell/user_dialogs.h"

namespace keldra {

// Every box is application-modal with no owner window, so the whole program waits for the answer.
// Standard buttons read in the language of the installed Qt translation.
class QtUserDialogs final : public UserDialogs {
public:
    MessageAnswer show_message(const QString& title, const QString& text, MessageButtons buttons,
                               MessageIcon icon) override;
    std::optional<QString> ask_text(const QString& title, const QString& prompt) override;
    std::optional<QByteArray> choose_folder(const QString& caption) override;
    std::optional<QByteArray> choose_save_file(const SaveFileRequest& request) override;
    void show_balloon(const QString& text) override;
};

} // namespace keldra
