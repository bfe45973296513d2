#include "util/json_text.h"

#include <cstdio>

#include "util/utf8.h"

namespace kovo::util {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    // A name from the system (a file's path) may hold bytes that are not UTF-8.
    for (const char c : ValidUtf8(text)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace kovo::util
