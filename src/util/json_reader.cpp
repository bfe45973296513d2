#include "util/json_reader.h"

#include <charconv>
#include <cstdint>

namespace kovo::util {

namespace {

constexpr int kMaxDepth = 64;

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::variant<JsonValue, std::string> Document() {
        JsonValue value;
        if (!Value(value, 0)) return error_;
        Blanks();
        if (at_ < text_.size()) return Where() + "text after the value";
        return value;
    }

private:
    std::string Where() const {
        std::size_t line = 1;
        for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) line += text_[i] == '\n' ? 1 : 0;
        return "line " + std::to_string(line) + ": ";
    }
    bool Fail(const std::string& what) {
        if (error_.empty()) error_ = Where() + what;
        return false;
    }
    void Blanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return Fail("not a JSON value");
        at_ += word.size();
        return true;
    }

    // `depth` counts the arrays and objects around the value.
    bool Value(JsonValue& out, int depth) {
        Blanks();
        if (at_ >= text_.size()) return Fail("the text ends where a value should be");
        const char c = text_[at_];
        if ((c == '{' || c == '[') && depth >= kMaxDepth) return Fail("values nested too deeply");
        if (c == '{') return Object(out, depth);
        if (c == '[') return Array(out, depth);
        if (c == '"') {
            out.kind = JsonValue::Kind::String;
            return String(out.string);
        }
        if (c == 't' || c == 'f') {
            out.kind = JsonValue::Kind::Boolean;
            out.boolean = c == 't';
            return Word(c == 't' ? "true" : "false");
        }
        if (c == 'n') return Word("null");
        return Number(out);
    }

    bool Number(JsonValue& out) {
        const std::size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        const auto digits = [&] {
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
            return at_ - from;
        };
        const std::size_t whole = digits();
        if (whole == 0 || (whole > 1 && text_[at_ - whole] == '0')) return Fail("not a JSON number");
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (digits() == 0) return Fail("not a JSON number");
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (digits() == 0) return Fail("not a JSON number");
        }
        const auto result = std::from_chars(text_.data() + start, text_.data() + at_, out.number);
        if (result.ec != std::errc()) return Fail("a number out of range");
        out.kind = JsonValue::Kind::Number;
        return true;
    }

    bool Hex4(std::uint32_t& code) {
        if (at_ + 4 > text_.size()) return Fail("a \\u escape needs four hex digits");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[at_++];
            code <<= 4;
            if (h >= '0' && h <= '9') code |= static_cast<std::uint32_t>(h - '0');
            else if (h >= 'a' && h <= 'f') code |= static_cast<std::uint32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') code |= static_cast<std::uint32_t>(h - 'A' + 10);
            else return Fail("a \\u escape needs four hex digits");
        }
        return true;
    }

    static void Utf8(std::uint32_t code, std::string& out) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool String(std::string& out) {
        ++at_;  // the opening quote
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character inside a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) break;
            const char e = text_[at_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    std::uint32_t code = 0;
                    if (!Hex4(code)) return false;
                    if (code >= 0xD800 && code <= 0xDBFF) {
                        std::uint32_t low = 0;
                        if (text_.substr(at_, 2) != "\\u") return Fail("a lone surrogate in a \\u escape");
                        at_ += 2;
                        if (!Hex4(low)) return false;
                        if (low < 0xDC00 || low > 0xDFFF) return Fail("a lone surrogate in a \\u escape");
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else if (code >= 0xDC00 && code <= 0xDFFF) {
                        return Fail("a lone surrogate in a \\u escape");
                    }
                    Utf8(code, out);
                    break;
                }
                default:
                    return Fail("an unknown escape in a string");
            }
        }
        return Fail("a string without its closing quote");
    }

    bool Array(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Array;
        ++at_;
        Blanks();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        for (;;) {
            out.array.emplace_back();
            if (!Value(out.array.back(), depth + 1)) return false;
            Blanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == ']') {
                ++at_;
                return true;
            }
            return Fail("',' or ']' expected in an array");
        }
    }

    bool Object(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Object;
        ++at_;
        Blanks();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        for (;;) {
            Blanks();
            if (at_ >= text_.size() || text_[at_] != '"') return Fail("a member name in quotes expected");
            std::string key;
            if (!String(key)) return false;
            for (const auto& member : out.object)
                if (member.key == key) return Fail("the member \"" + key + "\" is given twice");
            Blanks();
            if (at_ >= text_.size() || text_[at_] != ':') return Fail("':' expected after a member name");
            ++at_;
            out.object.push_back({std::move(key), JsonValue{}});
            if (!Value(out.object.back().value, depth + 1)) return false;
            Blanks();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '}') {
                ++at_;
                return true;
            }
            return Fail("',' or '}' expected in an object");
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

}  // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    if (kind != Kind::Object) return nullptr;
    for (const auto& member : object)
        if (member.key == key) return &member.value;
    return nullptr;
}

std::variant<JsonValue, std::string> ReadJson(std::string_view text) { return Reader(text).Document(); }

}  // namespace kovo::util
