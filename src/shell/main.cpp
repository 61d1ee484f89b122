// Keldra: lists the Warcraft III maps of a folder and manages them.
#include "shell/connection_test.h"
#include "shell/global_state.h"
#include "shell/main_window.h"
#include "shell/qt_user_dialogs.h"
#include "shell/run_directory.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <unistd.h>

int main(int argc, char* argv[]) {
    const QByteArray run_directory = keldra::run_directory();
    if (!run_directory.isEmpty()) {
        // The settings file and the converter's companions are looked for here.
        ::chdir(run_directory.constData());
    }
    QApplication application(argc, argv);
    QTranslator qt_texts;
    if (qt_texts.load(QStringLiteral("qtbase_zh_CN"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qt_texts);
    }

    keldra::GlobalState state;
    keldra::QtUserDialogs dialogs;
    keldra::NetworkConnectionTest connection_test;
    keldra::MainWindow window(state, {.archive_reader_available = true,
                                      .dialogs = dialogs,
                                      .connection_test = connection_test,
                                      .run_directory = run_directory,
                                      .open_url = {}});
    window.start_up();
    window.show();
    return QApplication::exec();
}
