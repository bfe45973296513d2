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

// The length in bytes of the well-formed UTF-8 sequence that starts at text[at], or 0
// when the byte there starts none (a stray continuation byte, an overlong form, a
// surrogate, a code point above U+10FFFF or a sequence cut short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

// The text with every byte that is not part of a well-formed sequence replaced by
// U+FFFD, so that what is written out as UTF-8 always is. Valid text comes back as it is.
std::string ValidUtf8(std::string_view text);

// A name (a file's path) for a message: control characters, DEL and bytes that are not
// UTF-8 shown as \xNN, a backslash as \\, so a name cannot break or forge a message
// line. A plain name comes back as it is.
std::string PrintableName(std::string_view name);

}  // namespace kovo::util
