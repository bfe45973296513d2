#pragma once
// The run host of the command line: the output area is a string, messages go to the
// error stream (the exit status follows the run's outcome, not the messages), and no
// question is ever put to anyone (the only one, "Stop?", can
// come only from an output limit and is answered Yes).
#include <chrono>
#include <ostream>
#include <string>

#include "util/run_host.h"

namespace kovo::report {

class HeadlessHost : public util::RunHost {
public:
    HeadlessHost(std::ostream& errors, bool showProgress) : errors_(errors), showProgress_(showProgress) {}

    const std::string& Output() const { return output_; }

    // A message that warns without refusing the run, such as a start-up problem. The
    // exit status follows the run's outcome, so this is just a shown message.
    void Notice(const util::Message& message) { ShowMessage(message); }

    void AppendOutput(std::string_view text) override { output_ += text; }
    void ClearOutput() override { output_.clear(); }
    std::size_t OutputLength() const override;
    void MoveCaretToEnd() override {}
    util::Answer ShowMessage(const util::Message& message) override;
    void Yield() override {}
    void Progress(double fraction) override;
    void EnterBusyState(bool) override {}
    void LeaveBusyState() override;
    void PrepareRunWindow() override {}
    void ShowDonePopUp() override {}
    bool AppendChecked() const override { return appendChecked_; }
    void SetAppendChecked(bool checked) override { appendChecked_ = checked; }
    void SetAppendVisible(bool) override {}
    void RestoreCompactHeight() override {}

private:
    void ClearProgress();

    std::ostream& errors_;
    bool showProgress_;
    std::string output_;
    bool appendChecked_ = false;
    bool progressShown_ = false;
    int lastPercent_ = -1;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace kovo::report
