#pragma once
// A scripted RunHost for core tests: keeps the output text, records every message and
// window call in order, and answers questions from a queue (No when the queue is empty).
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "util/run_host.h"
#include "util/utf8.h"

namespace kovo::testing {

class FakeRunHost : public util::RunHost {
public:
    std::string output;
    std::vector<util::Message> messages;
    std::deque<util::Answer> answers;
    bool appendChecked = false;
    bool appendVisible = true;
    int busyEntered = 0;
    int busyLeft = 0;
    int donePopUps = 0;
    int yields = 0;
    int compactRestores = 0;
    int runWindowPrepared = 0;
    int caretMoves = 0;
    std::vector<std::string> calls;  // busy state, pop-up and window calls in order
    // Runs at every yield, e.g. to press the run button during a run.
    std::function<void(int)> onYield;

    void AppendOutput(std::string_view text) override { output += text; }
    void ClearOutput() override {
        output.clear();
        calls.push_back("ClearOutput");
    }
    std::size_t OutputLength() const override { return util::CharCount(output); }
    void MoveCaretToEnd() override { ++caretMoves; }
    util::Answer ShowMessage(const util::Message& message) override {
        messages.push_back(message);
        if (message.buttons == util::MessageButtons::Ok) return util::Answer::Ok;
        if (answers.empty()) return util::Answer::No;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    void Yield() override {
        ++yields;
        if (onYield) onYield(yields);
    }
    void EnterBusyState(bool isSimulation) override {
        ++busyEntered;
        calls.push_back(isSimulation ? "EnterBusyState(true)" : "EnterBusyState(false)");
    }
    void LeaveBusyState() override {
        ++busyLeft;
        calls.push_back("LeaveBusyState");
    }
    void PrepareRunWindow() override {
        ++runWindowPrepared;
        calls.push_back("PrepareRunWindow");
    }
    void ShowDonePopUp() override {
        ++donePopUps;
        calls.push_back("ShowDonePopUp");
    }
    bool AppendChecked() const override { return appendChecked; }
    void SetAppendChecked(bool checked) override { appendChecked = checked; }
    void SetAppendVisible(bool visible) override { appendVisible = visible; }
    void RestoreCompactHeight() override { ++compactRestores; }

    // The message texts shown so far, for compact assertions.
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : messages) t.push_back(m.text);
        return t;
    }
};

}  // namespace kovo::testing
