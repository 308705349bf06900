#pragma once

#include "core/CLLang.h"
#include "core/UserMessages.h"
#include "support/TempAppFolder.h"

#include <QApplication>
#include <QWidget>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace harvexa::test {

struct RecordedMessage {
    MessageKind kind;
    std::string caption;
    std::string text;
};

// Message boxes of the tests: every message is recorded; questions take the queued answers.
class RecordingPresenter final : public IMessagePresenter {
public:
    void ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) override {
        messages.push_back({kind, caption, text});
    }
    bool AskQuestion(const std::string& caption, const std::string& text) override {
        questions.push_back({MessageKind::Information, caption, text});
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> questions;
    std::deque<bool> answers;
};

// Every UI test runs in its own installed application folder with a fresh catalogue reader.
class UiTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Windows a test left open (help, pending deletions) must not reach the next test.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                window->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Text of the installed catalogue, through the reader under test.
    std::string Text(int section, int key) { return lang.ReadText(section, key); }
    std::string Catalogue() const { return folder.ReadFile("config/text.ini"); }

    TempAppFolder folder;
    CLLang lang;
    RecordingPresenter presenter;
    UserMessages messages{lang, presenter};
};

} // namespace harvexa::test
