#pragma once

#include "core/FrontEnd.h"
#include "core/ProgressView.h"
#include "core/UserMessages.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace harvexa::test {

// Records every call of the progress window as one line, beside what the window shows: the gauge
// and captions of the last opening stay after Close. It can press Stop when a partial value is shown.
class RecordingProgress final : public IProgressView {
public:
    std::vector<std::string> calls;
    StopCallback stop;

    bool open = false;
    int partialMaximum = 0;
    int partial = 0;
    std::string partialText;
    std::string totalText;
    std::vector<std::string> texts; // every text given, in order
    int stopAtPartial = -1;         // press Stop once when ProgressPartial shows this value

    void ProgressStart(int partialMax, int totalMax) override {
        calls.push_back("Start " + std::to_string(partialMax) + " " + std::to_string(totalMax));
        open = true;
        partialMaximum = partialMax;
        partial = 0;
        partialText.clear();
        totalText.clear();
    }
    void ProgressTotal(int value, const std::string& text) override {
        calls.push_back("Total " + std::to_string(value) + " " + text);
        totalText = text;
        texts.push_back(text);
    }
    void ProgressPartial(int value, const std::string& text) override {
        calls.push_back("Partial " + std::to_string(value) + " " + text);
        partial = value;
        partialText = text;
        texts.push_back(text);
        if (stopAtPartial >= 0 && value == stopAtPartial && stop) {
            stopAtPartial = -1;
            stop();
        }
    }
    void ProgressStepTotal(const std::string& text) override {
        calls.push_back("StepTotal " + text);
        if (!text.empty())
            totalText = text;
        texts.push_back(text);
    }
    void ProgressStepPartial(const std::string& text) override {
        calls.push_back("StepPartial " + text);
        ++partial;
        if (!text.empty())
            partialText = text;
        texts.push_back(text);
    }
    void ProgressSetPartialMax(int n) override {
        calls.push_back("SetPartialMax " + std::to_string(n));
        partialMaximum = n;
    }
    void ProgressSetTotalMax(int n) override { calls.push_back("SetTotalMax " + std::to_string(n)); }
    void ProgressResetPartial() override {
        calls.push_back("ResetPartial");
        partial = 0;
        partialText.clear();
    }
    void ProgressOnStop(StopCallback callback) override {
        stop = std::move(callback);
        calls.push_back("OnStop");
    }
    void ProgressEnableStop() override { calls.push_back("EnableStop"); }
    void ProgressClose() override {
        calls.push_back("Close");
        open = false;
    }

    // How many calls of one kind ("Start", "Close", "EnableStop", ...) were made.
    std::size_t Count(std::string_view kind) const {
        return static_cast<std::size_t>(
            std::count_if(calls.begin(), calls.end(), [kind](const std::string& call) {
                return call.compare(0, kind.size(), kind) == 0 &&
                       (call.size() == kind.size() || call[kind.size()] == ' ');
            }));
    }
};

// Records every call of the second progress window as one line.
class RecordingProgress2 final : public IProgressView2 {
public:
    std::vector<std::string> calls;
    StopCallback stop;

    void Progress2Start(const std::string& caption, const std::string& name, int maximum, bool canStop,
                        const std::string& text) override {
        calls.push_back("Start " + caption + "|" + name + "|" + std::to_string(maximum) + "|" +
                        (canStop ? "stop" : "nostop") + "|" + text);
    }
    void Progress2Text(const std::string& name, const std::string& text) override {
        calls.push_back("Text " + name + "|" + text);
    }
    void Progress2Step() override { calls.push_back("Step"); }
    void Progress2SetMax(int n) override { calls.push_back("SetMax " + std::to_string(n)); }
    void Progress2OnStop(StopCallback callback) override {
        stop = std::move(callback);
        calls.push_back("OnStop");
    }
    void Progress2Close() override { calls.push_back("Close"); }
};

// Records the message boxes shown; questions take the queued answers, then the default answer.
class RecordingPresenter final : public IMessagePresenter {
public:
    struct Shown {
        MessageKind kind;
        std::string caption;
        std::string text;
    };
    std::vector<Shown> shown;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    bool defaultAnswer = false;
    bool failUnqueuedQuestions = false; // a question without a queued answer fails the running test

    void ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) override {
        shown.push_back({kind, caption, text});
    }
    bool AskQuestion(const std::string&, const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) {
            if (failUnqueuedQuestions)
                ADD_FAILURE() << "unexpected question: " << text;
            return defaultAnswer;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The texts of the error messages shown, in order.
    std::vector<std::string> Errors() const {
        std::vector<std::string> texts;
        for (const Shown& message : shown)
            if (message.kind == MessageKind::Error)
                texts.push_back(message.text);
        return texts;
    }
};

// The three recorders together, lent to the core as its front end.
struct RecordingFrontEnd {
    RecordingPresenter presenter;
    RecordingProgress progress;
    RecordingProgress2 progress2;

    FrontEnd Get() { return FrontEnd{presenter, progress, progress2}; }
};

} // namespace harvexa::test
