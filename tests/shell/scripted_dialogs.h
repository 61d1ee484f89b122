// Test doubles for what the main window asks the user and the world.
#pragma once

#include "shell/connection_test.h"
#include "shell/user_dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace keldra::test {

// One question the program asked.
struct Question {
    enum class Kind { message, text, folder, save_file, balloon } kind;
    QString title;
    QString text;
    MessageButtons buttons = MessageButtons::ok;
    MessageIcon icon = MessageIcon::none;
};

// Answers from queues filled by the test and records every question. With an empty queue the
// answer is the cautious one: OK / No, Cancel.
class ScriptedDialogs final : public UserDialogs {
public:
    std::deque<MessageAnswer> message_answers;
    std::deque<std::optional<QString>> text_answers;
    std::deque<std::optional<QByteArray>> folder_answers;
    std::vector<Question> questions;
    // Runs as each question is asked, before it is answered.
    std::function<void(const Question&)> on_question;

    MessageAnswer show_message(const QString& title, const QString& text, MessageButtons buttons,
                               MessageIcon icon) override {
        record({Question::Kind::message, title, text, buttons, icon});
        if (message_answers.empty()) {
            return buttons == MessageButtons::ok ? MessageAnswer::ok : MessageAnswer::no;
        }
        return take(message_answers);
    }
    std::optional<QString> ask_text(const QString& title, const QString& prompt) override {
        record({Question::Kind::text, title, prompt});
        return text_answers.empty() ? std::nullopt : take(text_answers);
    }
    std::optional<QByteArray> choose_folder(const QString& caption) override {
        record({Question::Kind::folder, caption, {}});
        return folder_answers.empty() ? std::nullopt : take(folder_answers);
    }
    std::optional<QByteArray> choose_save_file(const SaveFileRequest& request) override {
        record({Question::Kind::save_file, request.title, request.filter});
        return std::nullopt;
    }
    void show_balloon(const QString& text) override { record({Question::Kind::balloon, {}, text}); }

    std::vector<Question> messages() const {
        std::vector<Question> found;
        for (const Question& question : questions) {
            if (question.kind == Question::Kind::message) {
                found.push_back(question);
            }
        }
        return found;
    }

private:
    template <typename T> static T take(std::deque<T>& queue) {
        T front = std::move(queue.front());
        queue.pop_front();
        return front;
    }
    void record(const Question& question) {
        if (on_question) {
            on_question(question);
        }
        questions.push_back(question);
    }
};

// Never touches the network: answers what the test set.
class FakeConnectionTest final : public ConnectionTest {
public:
    bool connected = true;
    int calls = 0;
    std::function<void()> on_call;

    bool is_connected() override {
        ++calls;
        if (on_call) {
            on_call();
        }
        return connected;
    }
};

} // namespace keldra::test

#include <ostream>

// Readable test failure output for Qt's strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toStdString() << '"';
}
