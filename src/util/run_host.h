#pragma once
// Everything a run needs from whatever shows it: the output area, questions and
// messages, yielding to pending events, the busy state and the "Done" pop-up.
// The window implements it; tests use a scripted fake; the command-line front end its own.
#include <cstddef>
#include <string>
#include <string_view>

#include "util/message.h"

namespace kovo::util {

// Shows messages and asks questions; validators report through it.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows a message or asks a question; returns the button chosen (Ok for plain messages).
    virtual Answer ShowMessage(const Message& message) = 0;
};

// Flags a run shares with whatever started it; the window sets stopRequest from the
// run button while the run yields.
struct RunFlags {
    bool stopRequest = false;
    bool headerPrinted = false;
};

class RunHost : public MessageSink {
public:

    // Output area. Text is UTF-8 with CR LF line ends; lengths count characters.
    virtual void AppendOutput(std::string_view text) = 0;
    virtual void ClearOutput() = 0;
    virtual std::size_t OutputLength() const = 0;
    virtual void MoveCaretToEnd() = 0;

    // Lets pending window events run; the stop request may be set meanwhile.
    virtual void Yield() = 0;
    // How far a long run has come, 0..1; called once per step. Only a terminal shows it.
    virtual void Progress(double /*fraction*/) {}

    virtual void EnterBusyState(bool isSimulation) = 0;
    virtual void LeaveBusyState() = 0;
    // Moves the window to its run top and height when it is in its normal state.
    virtual void PrepareRunWindow() = 0;
    // The timed "Done" pop-up at the foot of the window; returns when it has closed.
    virtual void ShowDonePopUp() = 0;

    // "Append to output": its value, and whether it is shown.
    virtual bool AppendChecked() const = 0;
    virtual void SetAppendChecked(bool checked) = 0;
    virtual void SetAppendVisible(bool visible) = 0;
    // Back to the compact height used when there is no output.
    virtual void RestoreCompactHeight() = 0;
};

// A host without an output area or a window of its own: output and window calls do
// nothing. Those that run a scan only for its records supply the messages and yields.
class QuietRunHost : public RunHost {
public:
    void AppendOutput(std::string_view) override {}
    void ClearOutput() override {}
    std::size_t OutputLength() const override { return 0; }
    void MoveCaretToEnd() override {}
    void EnterBusyState(bool) override {}
    void LeaveBusyState() override {}
    void PrepareRunWindow() override {}
    void ShowDonePopUp() override {}
    bool AppendChecked() const override { return false; }
    void SetAppendChecked(bool) override {}
    void SetAppendVisible(bool) override {}
    void RestoreCompactHeight() override {}
};

}  // namespace kovo::util
