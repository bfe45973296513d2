#include "points/points_json.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include "util/json_text.h"

namespace kovo::points {

namespace {

// A reader over exactly the grammar points.json may use; the first error stops it.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::variant<std::vector<NamedPoint>, std::string> Points() {
        std::vector<NamedPoint> points;
        if (!Expect('[')) return error_;
        if (!Peek(']')) {
            do {
                auto point = Point(points.size() + 1);
                if (!point) return error_;
                points.push_back(std::move(*point));
            } while (Accept(','));
        }
        if (!Expect(']')) return error_;
        SkipBlanks();
        if (at_ < text_.size()) {
            Fail("text after the closing ']'");
            return error_;
        }
        if (std::string problem = PointsProblem(points); !problem.empty()) return problem;
        return points;
    }

private:
    std::optional<NamedPoint> Point(std::size_t place) {
        const std::string where = "point " + std::to_string(place) + ": ";
        if (!Expect('{')) return std::nullopt;
        NamedPoint point;
        bool hasName = false;
        bool hasDegree = false;
        do {
            const auto key = String();
            if (!key || !Expect(':')) return std::nullopt;
            if (*key == "name" && !hasName) {
                const auto name = String();
                if (!name) return std::nullopt;
                point.name = *name;
                hasName = true;
            } else if (*key == "degree" && !hasDegree) {
                const auto degree = Number();
                if (!degree) return std::nullopt;
                point.degree = *degree;
                hasDegree = true;
            } else {
                Fail(where + "\"" + *key + "\" is " + (*key == "name" || *key == "degree" ? "given twice" : "no key of a point"),
                     false);
                return std::nullopt;
            }
        } while (Accept(','));
        if (!Expect('}')) return std::nullopt;
        if (!hasName || !hasDegree) {
            Fail(where + "it has no \"" + (hasName ? "degree" : "name") + "\"", false);
            return std::nullopt;
        }
        return point;
    }

    std::optional<std::string> String() {
        if (!Expect('"')) return std::nullopt;
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            const char c = text_[at_++];
            if (static_cast<unsigned char>(c) < 32) return Fail("a control character inside a string"), std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (!Escape(out)) return std::nullopt;
        }
        if (!Expect('"')) return std::nullopt;
        return out;
    }

    bool Escape(std::string& out) {
        if (at_ >= text_.size()) return Fail("an unfinished string");
        const char c = text_[at_++];
        static constexpr std::string_view kSimple = "\"\\/bfnrt";
        static constexpr std::string_view kMeaning = "\"\\/\b\f\n\r\t";
        if (const std::size_t k = kSimple.find(c); k != std::string_view::npos) {
            out += kMeaning[k];
            return true;
        }
        if (c != 'u') return Fail("an unknown escape '\\" + std::string(1, c) + "'");
        auto unit = Hex4();
        if (!unit) return false;
        std::uint32_t code = *unit;
        if (code >= 0xD800 && code < 0xDC00) {  // a high surrogate needs its low half
            if (!(Accept('\\') && Accept('u'))) return Fail("half of a surrogate pair");
            const auto low = Hex4();
            if (!low) return false;
            if (*low < 0xDC00 || *low >= 0xE000) return Fail("half of a surrogate pair");
            code = 0x10000 + ((code - 0xD800) << 10) + (*low - 0xDC00);
        } else if (code >= 0xDC00 && code < 0xE000) {
            return Fail("half of a surrogate pair");
        }
        AppendUtf8(out, code);
        return true;
    }

    std::optional<std::uint32_t> Hex4() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i, ++at_) {
            const char c = at_ < text_.size() ? text_[at_] : '\0';
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) return Fail("a \\u escape without four hex digits"), std::nullopt;
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        return value;
    }

    static void AppendUtf8(std::string& out, std::uint32_t code) {
        auto byte = [&out](std::uint32_t b) { out += static_cast<char>(b); };
        if (code < 0x80) {
            byte(code);
        } else if (code < 0x800) {
            byte(0xC0 | (code >> 6)), byte(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            byte(0xE0 | (code >> 12)), byte(0x80 | ((code >> 6) & 0x3F)), byte(0x80 | (code & 0x3F));
        } else {
            byte(0xF0 | (code >> 18)), byte(0x80 | ((code >> 12) & 0x3F)), byte(0x80 | ((code >> 6) & 0x3F)),
                byte(0x80 | (code & 0x3F));
        }
    }

    // JSON's number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    std::optional<double> Number() {
        SkipBlanks();
        const std::size_t start = at_;
        auto digits = [this] {
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
            return at_ - from;
        };
        Accept('-', false);
        const bool leadingZero = at_ < text_.size() && text_[at_] == '0';
        const std::size_t whole = digits();
        bool ok = whole > 0 && !(leadingZero && whole > 1);
        if (ok && Accept('.', false)) ok = digits() > 0;
        if (ok && (Accept('e', false) || Accept('E', false))) {
            if (!Accept('+', false)) Accept('-', false);
            ok = digits() > 0;
        }
        double value = 0;
        const auto [end, ec] = std::from_chars(text_.data() + start, text_.data() + at_, value);
        if (!ok || ec != std::errc() || end != text_.data() + at_) {
            at_ = start;
            return Fail("\"degree\" needs a number"), std::nullopt;
        }
        return value;
    }

    void SkipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool Peek(char c) {
        SkipBlanks();
        return at_ < text_.size() && text_[at_] == c;
    }
    bool Accept(char c, bool skipBlanks = true) {
        if (skipBlanks) SkipBlanks();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool Expect(char c) {
        if (Accept(c)) return true;
        return Fail(at_ < text_.size() ? "'" + std::string(1, c) + "' expected" : "the text ends where '" + std::string(1, c) + "' is expected");
    }
    // Syntax errors say where they are; shape errors say which point.
    bool Fail(const std::string& what, bool syntax = true) {
        if (!error_.empty()) return false;
        if (!syntax) {
            error_ = what;
            return false;
        }
        int line = 1;
        int column = 1;
        for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) {
            if (text_[i] == '\n') ++line, column = 1;
            else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++column;
        }
        error_ = "not JSON of the expected shape: line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
        return false;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

std::string DegreeJson(double degree) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, degree);
    return ec == std::errc() ? std::string(buffer, end) : "0";
}

}  // namespace

std::variant<std::vector<NamedPoint>, std::string> ParsePointsJson(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a byte-order mark some editors add
    return Reader(text).Points();
}

std::string PointsJson(const std::vector<NamedPoint>& points) {
    if (points.empty()) return "[]\n";
    std::string text = "[\n";
    for (std::size_t i = 0; i < points.size(); ++i) {
        text += "  {\"name\": " + util::JsonString(points[i].name) + ", \"degree\": " + DegreeJson(points[i].degree) + "}";
        text += i + 1 < points.size() ? ",\n" : "\n";
    }
    return text + "]\n";
}

}  // namespace kovo::points
