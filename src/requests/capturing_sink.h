#pragma once
// Keeps the message a check would have shown, so that it becomes a refusal value.
#include <optional>

#include "util/refusal.h"
#include "util/run_host.h"

namespace kovo::requests {

class CapturingSink final : public util::MessageSink {
public:
    // Keeps the first message only: a check says one thing and refuses.
    util::Answer ShowMessage(const util::Message& message) override;
    // The kept message as a refusal of `field`.
    util::Refusal Refusal(util::InputField field) const;

private:
    std::optional<util::Message> message_;
};

}  // namespace kovo::requests
