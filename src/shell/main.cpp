// Keldra: lists the Warcraft III maps of a folder and manages them.
#include "shell/connection_test.h"
#include "shell/global_state.h"
#include "shell/main_window.h"
#include "shell/qt_user_dialogs.h"
#include "shell/run_directory.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QByteArray run_directory = keldra::run_directory();
    if (run_directory.isEmpty()) {
        run_directory = QFile::encodeName(QCoreApplication::applicationDirPath());
    }
    // The settings file is found beside the program, and an empty folder setting means this one.
    if (::chdir(run_directory.constData()) != 0) {
        std::perror("keldra: cannot enter the program's folder");
    }
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
