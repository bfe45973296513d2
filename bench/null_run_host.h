#pragma once
// A run host that does nothing but count the report, so benchmarks time the runs alone.
#include "util/run_host.h"

namespace kovo::bench {

class NullRunHost : public util::RunHost {
public:
    util::Answer ShowMessage(const util::Message&) override { return util::Answer::Ok; }
    void Progress(double, std::int32_t) override {}
    util::ReportSink& Report() override { return sink_; }
    util::CancelToken& Cancel() override { return cancel_; }

private:
    struct CountingSink final : util::ReportSink {
        void Append(std::string_view text) override { length += text.size(); }
        std::size_t Length() const override { return length; }
        std::size_t length = 0;
    } sink_;
    util::CancelToken cancel_;
};

}  // namespace kovo::bench
