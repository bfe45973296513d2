#pragma once
// The run host of the command line: the report is a string, messages go to the error
// stream (the exit status follows the run's outcome, not the messages), and no question
// is ever put to anyone (the only one, "Stop?", can come only from an output limit and
// is answered Yes).
#include <chrono>
#include <ostream>
#include <string>

#include "util/run_host.h"

namespace kovo::report {

class HeadlessHost : public util::RunHost {
public:
    HeadlessHost(std::ostream& errors, bool showProgress) : errors_(errors), showProgress_(showProgress) {}

    const std::string& Output() const { return report_.text; }

    // A message that warns without refusing the run, such as a start-up problem. The
    // exit status follows the run's outcome, so this is just a shown message.
    void Notice(const util::Message& message) { ShowMessage(message); }
    // The run is over: the progress bar goes.
    void EndProgress() { ClearProgress(); }

    util::Answer ShowMessage(const util::Message& message) override;
    void Progress(double fraction, std::int32_t day) override;
    util::ReportSink& Report() override { return report_; }
    util::CancelToken& Cancel() override { return cancel_; }

private:
    struct TextSink final : util::ReportSink {
        void Append(std::string_view more) override { text += more; }
        std::size_t Length() const override;
        std::string text;
    };
    void ClearProgress();

    std::ostream& errors_;
    bool showProgress_;
    TextSink report_;
    util::CancelToken cancel_;
    bool progressShown_ = false;
    int lastPercent_ = -1;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace kovo::report
