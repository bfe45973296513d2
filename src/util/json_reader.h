#pragma once
// A strict reader of JSON text (RFC 8259) into a tree of values, for the files the
// program writes itself and reads back. Numbers are read with from_chars, so a number
// written as the shortest text that reads back to a double reads back to those bits.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kovo::util {

struct JsonMember;

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<JsonValue> array;
    std::vector<JsonMember> object;  // members in their order

    // The member `key` of an object; null when absent or not an object.
    const JsonValue* Find(std::string_view key) const;
};

// A member of an object. Its own type rather than a pair: a pair may not hold the
// JsonValue that is still being declared.
struct JsonMember {
    std::string key;
    JsonValue value;
};

// The value of the whole text, or "line L: what is wrong". Nesting deeper than 64 levels
// is refused, so a hostile file cannot exhaust the stack.
std::variant<JsonValue, std::string> ReadJson(std::string_view text);

}  // namespace kovo::util
