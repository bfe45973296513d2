#include "util/utf8.h"

namespace kovo::util {

namespace {
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::size_t CharCount(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        if (!IsContinuation(c)) ++n;
    return n;
}

std::string LeftChars(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsContinuation(text[i])) {
            if (seen == count) return std::string(text.substr(0, i));
            ++seen;
        }
    }
    return std::string(text);
}

std::string PadChars(std::string_view text, std::size_t width) {
    std::string out = LeftChars(text, width);
    const std::size_t have = CharCount(out);
    if (have < width) out.append(width - have, ' ');
    return out;
}

}  // namespace kovo::util
