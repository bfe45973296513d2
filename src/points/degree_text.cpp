#include "points/degree_text.h"

#include <charconv>
#include <optional>
#include <vector>

#include "cycles/ingresses.h"
#include "util/text.h"

namespace kovo::points {

namespace {

struct Token {
    enum class Kind { Number, Word, Mark } kind;
    std::string text;
    double value = 0;
    bool whole = true;  // a number without a decimal point
    int mark = 0;       // 1 degree, 2 minute, 3 second mark
};

// The marks as typed: ° (and º, which keyboards give for it), ' ′, " ″.
int MarkAt(std::string_view text, std::size_t at, std::size_t& length) {
    static const std::pair<std::string_view, int> kMarks[] = {
        {"\xC2\xB0", 1}, {"\xC2\xBA", 1}, {"'", 2}, {"\xE2\x80\xB2", 2}, {"\"", 3}, {"\xE2\x80\xB3", 3}, {"''", 3}};
    int found = 0;
    length = 0;
    for (const auto& [mark, kind] : kMarks)
        if (text.substr(at, mark.size()) == mark && mark.size() > length) found = kind, length = mark.size();
    return found;
}

std::optional<std::vector<Token>> Tokens(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t at = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    while (at < text.size()) {
        const char c = text[at];
        std::size_t length = 0;
        if (c == ' ' || c == '\t') {
            ++at;
        } else if (isDigit(c)) {
            const std::size_t start = at;
            while (at < text.size() && isDigit(text[at])) ++at;
            bool whole = true;
            if (at + 1 < text.size() && text[at] == '.' && isDigit(text[at + 1])) {
                whole = false;
                for (++at; at < text.size() && isDigit(text[at]);) ++at;
            }
            Token t{Token::Kind::Number, std::string(text.substr(start, at - start))};
            std::from_chars(t.text.data(), t.text.data() + t.text.size(), t.value);
            t.whole = whole;
            tokens.push_back(t);
        } else if (isLetter(c)) {
            const std::size_t start = at;
            while (at < text.size() && isLetter(text[at])) ++at;
            tokens.push_back({Token::Kind::Word, std::string(text.substr(start, at - start))});
        } else if (const int mark = MarkAt(text, at, length); mark != 0) {
            tokens.push_back({Token::Kind::Mark, std::string(text.substr(at, length)), 0, true, mark});
            at += length;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

std::optional<int> SignOf(const std::string& word) {
    const std::string lower = util::ToLower(word);
    if (lower.size() < 3) return std::nullopt;
    for (int s = 0; s < 12; ++s)
        if (util::ToLower(cycles::kSignNames[s]).rfind(lower, 0) == 0) return s;
    return std::nullopt;
}

std::string Usage(std::string_view text) {
    return "\"" + std::string(text) + "\" is no degree: write it as 45.5 (0 to under 360) or as 15°30' Taurus.";
}

// Degrees, minutes and seconds within `sign`: each number's place is its order, a mark
// may only confirm it, and only the last number may have decimals.
std::variant<double, std::string> WithinSign(const std::vector<Token>& numbers, int sign, std::string_view text) {
    if (numbers.size() > 3) return Usage(text);
    static constexpr double kLimit[] = {30, 60, 60};
    static constexpr const char* kWhat[] = {"degrees within a sign", "minutes", "seconds"};
    double degrees = 0;
    double scale = 1;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const Token& n = numbers[i];
        if ((!n.whole && i + 1 < numbers.size()) || (n.mark != 0 && n.mark != static_cast<int>(i) + 1)) return Usage(text);
        if (n.value >= kLimit[i])
            return "\"" + std::string(text) + "\": the " + kWhat[i] + " must be below " + std::to_string(static_cast<int>(kLimit[i])) + ".";
        degrees += n.value * scale;
        scale /= 60;
    }
    return sign * 30.0 + degrees;
}

}  // namespace

std::variant<double, std::string> ParseDegreeText(std::string_view text) {
    const std::string trimmed = util::TrimBlanks(text);
    const auto tokens = Tokens(trimmed);
    if (!tokens || tokens->empty()) return Usage(trimmed);
    // Marks attach to the number before them; the one word is the sign.
    std::vector<Token> numbers;
    std::optional<int> sign;
    for (const Token& t : *tokens) {
        if (t.kind == Token::Kind::Number) {
            numbers.push_back(t);
        } else if (t.kind == Token::Kind::Mark) {
            if (numbers.empty() || numbers.back().mark != 0) return Usage(trimmed);
            numbers.back().mark = t.mark;
        } else {
            if (sign || numbers.empty()) return Usage(trimmed);
            sign = SignOf(t.text);
            if (!sign) return "\"" + t.text + "\" is no sign: write Aries ... Pisces, or their first three letters.";
        }
    }
    if (sign) return WithinSign(numbers, *sign, trimmed);
    if (numbers.size() != 1 || numbers[0].mark > 1) return Usage(trimmed);
    if (numbers[0].value >= 360) return "\"" + trimmed + "\": a longitude must be below 360.";
    return numbers[0].value;
}

}  // namespace kovo::points
