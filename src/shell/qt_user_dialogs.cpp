#include "shell/qt_user_dialogs.h"

#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QToolTip>

namespace keldra {

MessageAnswer QtUserDialogs::show_message(const QString& title, const QString& text,
                                          MessageButtons buttons, MessageIcon icon) {
    const bool yes_no = buttons == MessageButtons::yes_no;
    QMessageBox box(icon == MessageIcon::exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    title, text, yes_no ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    if (!yes_no) {
        return MessageAnswer::ok;
    }
    return answer == QMessageBox::Yes ? MessageAnswer::yes : MessageAnswer::no;
}

std::optional<QString> QtUserDialogs::ask_text(const QString& title, const QString& prompt) {
    QInputDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<QByteArray> QtUserDialogs::choose_folder(const QString& caption) {
    const QString folder = QFileDialog::getExistingDirectory(nullptr, caption);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(folder);
}

std::optional<QByteArray> QtUserDialogs::choose_save_file(const SaveFileRequest& request) {
    QFileDialog dialog(nullptr, request.title, QFile::decodeName(request.initial_folder),
                       request.filter);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.default_suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().constFirst());
}

void QtUserDialogs::show_balloon(const QString& text) {
    QToolTip::showText(QCursor::pos(), text);
}

} // namespace keldra
