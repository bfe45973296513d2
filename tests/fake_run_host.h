#pragma once
// A scripted RunHost for core tests: keeps the report text, records every message in
// order, and answers questions from a queue (No when the queue is empty).
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
    int progressCalls = 0;
    std::int32_t lastDay = 0;
    // Runs at every progress report, e.g. to press Stop during a run.
    std::function<void(int)> onProgress;

    util::Answer ShowMessage(const util::Message& message) override {
        messages.push_back(message);
        if (message.buttons == util::MessageButtons::Ok) return util::Answer::Ok;
        if (answers.empty()) return util::Answer::No;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    void Progress(double, std::int32_t day) override {
        ++progressCalls;
        lastDay = day;
        if (onProgress) onProgress(progressCalls);
    }
    util::ReportSink& Report() override { return sink_; }
    util::CancelToken& Cancel() override { return cancel; }

    // The message texts shown so far, for compact assertions.
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : messages) t.push_back(m.text);
        return t;
    }

    util::CancelToken cancel;

private:
    struct Sink final : util::ReportSink {
        explicit Sink(std::string& text) : text(text) {}
        void Append(std::string_view more) override { text += more; }
        std::size_t Length() const override { return util::CharCount(text); }
        std::string& text;
    } sink_{output};
};

}  // namespace kovo::testing
