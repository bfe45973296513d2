#pragma once
// A run that will not start: the input at fault and the message that says why, as the
// front end shows it (text, title and icon).
#include "util/message.h"

namespace kovo::util {

enum class InputField { None, StartDate, EndDate, TimeZone, Bodies, Orbs, Aspects, Prices };

struct Refusal {
    InputField field = InputField::None;
    Message message{};
};

}  // namespace kovo::util
