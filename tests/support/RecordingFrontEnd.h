#pragma once

#include "core/FrontEnd.h"
#include "core/ProgressView.h"
#include "core/UserMessages.h"

#include <deque>
#include <string>
#include <vector>

namespace harvexa::test {

// Records every call of the progress window as one line.
class RecordingProgress final : public IProgressView {
public:
    std::vector<std::string> calls;
    StopCallback stop;

    void ProgressStart(int partialMax, int totalMax) override {
        calls.push_back("Start " + std::to_string(partialMax) + " " + std::to_string(totalMax));
    }
    void ProgressTotal(int value, const std::string& text) override {
        calls.push_back("Total " + std::to_string(value) + " " + text);
    }
    void ProgressPartial(int value, const std::string& text) override {
        calls.push_back("Partial " + std::to_string(value) + " " + text);
    }
    void ProgressStepTotal(const std::string& text) override { calls.push_back("StepTotal " + text); }
    void ProgressStepPartial(const std::string& text) override { calls.push_back("StepPartial " + text); }
    void ProgressSetPartialMax(int n) override { calls.push_back("SetPartialMax " + std::to_string(n)); }
    void ProgressSetTotalMax(int n) override { calls.push_back("SetTotalMax " + std::to_string(n)); }
    void ProgressResetPartial() override { calls.push_back("ResetPartial"); }
    void ProgressOnStop(StopCallback callback) override {
        stop = std::move(callback);
        calls.push_back("OnStop");
    }
    void ProgressEnableStop() override { calls.push_back("EnableStop"); }
    void ProgressClose() override { calls.push_back("Close"); }
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

    void ShowMessage(MessageKind kind, const std::string& caption, const std::string& text) override {
        shown.push_back({kind, caption, text});
    }
    bool AskQuestion(const std::string&, const std::string& text) override {
        questions.push_back(text);
        if (answers.empty())
            return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
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
