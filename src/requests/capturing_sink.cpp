#include "requests/capturing_sink.h"

namespace kovo::requests {

util::Answer CapturingSink::ShowMessage(const util::Message& message) {
    if (!message_) message_ = message;
    return util::Answer::Ok;
}

util::Refusal CapturingSink::Refusal(util::InputField field) const {
    return {.field = field, .message = message_.value_or(util::Message{})};
}

}  // namespace kovo::requests
