// The real dialogs: each answer the user gives comes back as the program's answer.
#include "shell/qt_user_dialogs.h"
#include "shell/run_directory.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace keldra {
namespace {

// Acts on the modal dialog as soon as it is up; gives up after a few seconds so a test that
// expected a dialog which never came fails instead of hanging.
void when_dialog_shows(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(qApp);
    auto started = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, started, act = std::move(act)] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            act(dialog);
        } else if (++*started > 500) {
            poll->deleteLater();
            poll->stop();
        }
    });
    poll->start(10);
}

struct MessageCase {
    const char* label;
    MessageButtons buttons;
    QMessageBox::StandardButton pressed;
    MessageAnswer expected;
};

TEST(QtUserDialogs, MessageBoxAnswersAsPressed) {
    const MessageCase cases[] = {
        {"OK", MessageButtons::ok, QMessageBox::Ok, MessageAnswer::ok},
        {"Yes", MessageButtons::yes_no, QMessageBox::Yes, MessageAnswer::yes},
        {"No", MessageButtons::yes_no, QMessageBox::No, MessageAnswer::no},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.label);
        QString title;
        QString text;
        bool application_modal = false;
        when_dialog_shows([&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            application_modal = box->windowModality() == Qt::ApplicationModal;
            box->button(c.pressed)->click();
        });
        QtUserDialogs dialogs;
        EXPECT_EQ(dialogs.show_message(QStringLiteral("信息："), QStringLiteral("正文"), c.buttons,
                                       MessageIcon::exclamation),
                  c.expected);
        EXPECT_EQ(title, QStringLiteral("信息："));
        EXPECT_EQ(text, QStringLiteral("正文"));
        EXPECT_TRUE(application_modal);
    }
}

TEST(QtUserDialogs, TextInputGivesTheTextOrNothing) {
    QtUserDialogs dialogs;
    QString prompt;
    when_dialog_shows([&](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        prompt = input->labelText();
        EXPECT_TRUE(input->textValue().isEmpty());
        input->setTextValue(QStringLiteral("地图"));
        input->accept();
    });
    EXPECT_EQ(dialogs.ask_text(QStringLiteral("关键字"), QStringLiteral("请输入你要搜索的关键字")),
              std::optional<QString>(QStringLiteral("地图")));
    EXPECT_EQ(prompt, QStringLiteral("请输入你要搜索的关键字"));

    when_dialog_shows([](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        ASSERT_NE(input, nullptr);
        input->setTextValue(QStringLiteral("typed, then cancelled"));
        input->reject();
    });
    EXPECT_EQ(dialogs.ask_text(QStringLiteral("关键字"), QStringLiteral("请输入你要搜索的关键字")),
              std::nullopt);
}

TEST(RunDirectory, IsTheFolderOfTheRunningProgram) {
    EXPECT_EQ(run_directory(), QFile::encodeName(QCoreApplication::applicationDirPath()));
}

} // namespace
} // namespace keldra
