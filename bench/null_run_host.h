#pragma once
// A run host that does nothing but count the output, so benchmarks time the runs alone.
#include "util/run_host.h"

namespace kovo::bench {

class NullRunHost : public util::QuietRunHost {
public:
    util::Answer ShowMessage(const util::Message&) override { return util::Answer::Ok; }
    void AppendOutput(std::string_view text) override { length_ += text.size(); }
    void ClearOutput() override { length_ = 0; }
    std::size_t OutputLength() const override { return length_; }
    void Yield() override {}

private:
    std::size_t length_ = 0;
};

}  // namespace kovo::bench
