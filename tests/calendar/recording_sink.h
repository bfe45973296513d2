#pragma once
// A message sink that records what would have been shown and answers OK.
#include <vector>

#include "util/run_host.h"

namespace kovo::testing {

class RecordingSink : public util::MessageSink {
public:
    util::Answer ShowMessage(const util::Message& message) override {
        messages.push_back(message);
        return util::Answer::Ok;
    }
    std::vector<util::Message> messages;
};

}  // namespace kovo::testing
