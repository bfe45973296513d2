#pragma once
// JSON text pieces shared by the writers of results.
#include <string>

namespace kovo::util {

// `text` (UTF-8) as a JSON string: quotes and backslashes escaped, control characters
// as \u00XX, bytes that are not well-formed UTF-8 as U+FFFD, everything else as it is.
std::string JsonString(const std::string& text);

}  // namespace kovo::util
