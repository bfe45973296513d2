#pragma once
// Character (not byte) counting for UTF-8 text: report cells and limits count characters.
#include <cstddef>
#include <string>
#include <string_view>

namespace kovo::util {

std::size_t CharCount(std::string_view text);

// The first `width` characters of text, filled with blanks to exactly `width` characters.
std::string PadChars(std::string_view text, std::size_t width);

// The first `count` characters of text.
std::string LeftChars(std::string_view text, std::size_t count);

}  // namespace kovo::util
