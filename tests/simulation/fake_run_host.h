#pragma once
// A scripted RunHost: records the output area and every call, answers questions from a
// queue (Yes when the queue is empty) and can set the stop request on a given yield.
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
    std::vector<std::string> calls;  // busy state, pop-up and window calls in order
    int yields = 0;
    std::function<void(int)> onYield;  // called with the 1-based yield number

    util::Answer ShowMessage(const util::Message& message) override {
        messages.push_back(message);
        if (message.buttons == util::MessageButtons::Ok) return util::Answer::Ok;
        if (answers.empty()) return util::Answer::Yes;
        const util::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void AppendOutput(std::string_view text) override { output += text; }
    void ClearOutput() override {
        output.clear();
        calls.push_back("ClearOutput");
    }
    std::size_t OutputLength() const override { return util::CharCount(output); }
    void MoveCaretToEnd() override { ++caretMoves; }
    void Yield() override {
        ++yields;
        if (onYield) onYield(yields);
    }
    void EnterBusyState(bool isSimulation) override {
        calls.push_back(isSimulation ? "EnterBusyState(true)" : "EnterBusyState(false)");
    }
    void LeaveBusyState() override { calls.push_back("LeaveBusyState"); }
    void PrepareRunWindow() override { calls.push_back("PrepareRunWindow"); }
    void ShowDonePopUp() override { calls.push_back("ShowDonePopUp"); }
    bool AppendChecked() const override { return false; }
    void SetAppendChecked(bool) override {}
    void SetAppendVisible(bool) override {}
    void RestoreCompactHeight() override {}

    int caretMoves = 0;
};

}  // namespace kovo::testing
