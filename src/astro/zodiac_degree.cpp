#include "astro/zodiac_degree.h"

#include <iterator>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "util/text.h"

namespace kovo::astro {

namespace {

// The sign a word names: its full name or its first three letters, any case; -1 if none.
int SignOf(const std::string& word) {
    const std::string lower = util::ToLower(word);
    for (std::size_t s = 0; s < std::size(kSignNames); ++s) {
        const std::string name = util::ToLower(kSignNames[s]);
        if (lower == name || (lower.size() == 3 && name.compare(0, 3, lower) == 0)) return static_cast<int>(s);
    }
    return -1;
}

// Splits at blanks and at the marks of degrees, minutes and seconds (°, ', ", ′, ″).
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t markLength = 0;
        if (c == ' ' || c == '\t' || c == '\'' || c == '"') markLength = 1;
        else if (text.compare(i, 2, "\xC2\xB0") == 0) markLength = 2;  // °
        else if (text.compare(i, 3, "\xE2\x80\xB2") == 0 || text.compare(i, 3, "\xE2\x80\xB3") == 0) markLength = 3;
        if (markLength == 0) {
            words.back() += text[i];
            continue;
        }
        if (!words.back().empty()) words.emplace_back();
        i += markLength - 1;
    }
    if (words.back().empty()) words.pop_back();
    return words;
}

std::optional<double> Number(const std::string& word, double below) {
    if (word.empty() || word.size() > 24) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value) || value < 0 || !(value < below)) return std::nullopt;
    return value;
}

}  // namespace

ParsedDegree ParseZodiacDegree(const std::string& text) {
    const std::vector<std::string> words = Words(text);
    if (words.size() == 1) {
        if (const auto plain = Number(words[0], 360.0)) return {.degrees = *plain, .problem = {}};
        return {.degrees = std::nullopt, .problem = "\"" + text + "\" is not a longitude from 0 to less than 360 degrees"};
    }
    // Degrees, then the sign or minutes, in either order: "15 Taurus 30" and "15°30' Taurus".
    int sign = -1;
    std::vector<std::string> numbers;
    for (const std::string& w : words) {
        const int s = SignOf(w);
        if (s >= 0 && sign < 0) sign = s;
        else numbers.push_back(w);
    }
    const auto failed = ParsedDegree{.degrees = std::nullopt, .problem = "\"" + text + "\" is not a degree such as 15°30' Taurus or 45.5"};
    if (sign < 0 || numbers.empty() || numbers.size() > 3) return failed;
    const auto degrees = Number(numbers[0], 30.0);
    const auto minutes = numbers.size() > 1 ? Number(numbers[1], 60.0) : std::optional<double>(0.0);
    const auto seconds = numbers.size() > 2 ? Number(numbers[2], 60.0) : std::optional<double>(0.0);
    if (!degrees || !minutes || !seconds) return failed;
    return {.degrees = sign * 30.0 + *degrees + *minutes / 60.0 + *seconds / 3600.0, .problem = {}};
}

std::string ZodiacDegreeText(double degrees) {
    auto total = static_cast<long long>(std::nearbyint(degrees * 60.0)) % (360 * 60);
    if (total < 0) total += 360 * 60;
    const long long within = total % 1800;
    return std::to_string(within / 60) + "\xC2\xB0" + std::to_string(within % 60) + "' " +
           kSignNames[static_cast<std::size_t>(total / 1800)];
}

}  // namespace kovo::astro
