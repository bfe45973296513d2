#pragma once
// What a run may ask of whatever called it: to show a message or put a question, to
// take the report's lines, to hear how far the run has come, and whether it should stop.
// Nothing here is about windows: the window, the command line, the backtest and the
// tests each implement it, and a run may be called on any thread its host allows.
#include <atomic>
#include <cstddef>
#include <cstdint>
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

// Where a run's report goes. Text is UTF-8 with CR LF line ends; lengths count characters
// and include whatever the sink held before the run (a run limits the whole text).
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void Append(std::string_view text) = 0;
    virtual std::size_t Length() const = 0;
};

// A report sink that keeps nothing: for runs wanted only for their records.
class DiscardingSink final : public ReportSink {
public:
    void Append(std::string_view) override {}
    std::size_t Length() const override { return 0; }
};

// A stop request that another thread (or an event handler during the run) may set. A run
// reads it once per step; when it asks "Stop?" and hears No, it takes the request back.
class CancelToken {
public:
    void Request() { requested_.store(true, std::memory_order_relaxed); }
    bool Requested() const { return requested_.load(std::memory_order_relaxed); }
    // Reads and clears the request.
    bool Take() { return requested_.exchange(false, std::memory_order_relaxed); }
    void Clear() { requested_.store(false, std::memory_order_relaxed); }

private:
    std::atomic<bool> requested_{false};
};

class RunHost : public MessageSink {
public:
    // Once per step: how far the run has come (0..1) and the day it has reached. The
    // window lets its pending events run here; a terminal draws a bar.
    virtual void Progress(double fraction, std::int32_t day) = 0;
    virtual ReportSink& Report() = 0;
    virtual CancelToken& Cancel() = 0;
};

}  // namespace kovo::util
