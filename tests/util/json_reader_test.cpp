// The JSON reader on the edges of the grammar that a file written by the program, or a
// damaged or hostile one, reaches: escapes, numbers read back bit for bit, what strict
// JSON refuses, the depth limit, and messages that say where.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>

#include "stats/random_stream.h"
#include "util/json_reader.h"

namespace kovo::util {
namespace {

JsonValue Read(const std::string& text) {
    auto result = ReadJson(text);
    if (auto* why = std::get_if<std::string>(&result)) ADD_FAILURE() << text << ": " << *why;
    return std::holds_alternative<JsonValue>(result) ? std::get<JsonValue>(result) : JsonValue{};
}

// The refusal of `text`, or "" when it was read.
std::string Refusal(const std::string& text) {
    auto result = ReadJson(text);
    return std::holds_alternative<std::string>(result) ? std::get<std::string>(result) : "";
}

std::string Nested(int depth, const std::string& open, const std::string& inner, const std::string& close) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}

TEST(JsonReader, EscapesIncludingSurrogatePairsBecomeUtf8) {
    EXPECT_EQ(Read(R"("\"\\\/\b\f\n\r\t")").string, "\"\\/\b\f\n\r\t");
    EXPECT_EQ(Read(R"("\u00e9\u20AC\ud83d\ude00")").string, "\u00e9\u20ac\U0001F600");
    EXPECT_EQ(Read(R"("\u0041\u007f")").string, "A\x7f");
    EXPECT_EQ(Read("\"d\u00e9j\u00e0 \U0001F600\"").string, "d\u00e9j\u00e0 \U0001F600");  // raw UTF-8 kept
    for (const char* bad : {R"("\ud83d")", R"("\ud83dx")", R"("\ud83d\u0041")", R"("\ude00")", R"("\u12")",
                            R"("\u12g4")", R"("\x41")", "\"tab\there\"", "\"open", "\"ends in \\"})
        EXPECT_NE(Refusal(bad), "") << bad;
}

TEST(JsonReader, NumbersWrittenShortestReadBackToTheSameBits) {
    std::vector<double> values{0.0, -0.0, 0.1, 1e-7, 123456789.0, -2.5e300, 1.0 / 3.0,
                               std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                               std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min()};
    stats::RandomStream stream(2024);
    while (values.size() < 2000) {
        const double value = std::bit_cast<double>(stream.Raw());
        if (std::isfinite(value)) values.push_back(value);
    }
    std::string array = "[";
    for (const double value : values) {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        array += (array.size() > 1 ? "," : "") + std::string(text, end);
    }
    const JsonValue read = Read(array + "]");
    ASSERT_EQ(read.array.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(read.array[i].kind, JsonValue::Kind::Number);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read.array[i].number), std::bit_cast<std::uint64_t>(values[i])) << i;
    }
    EXPECT_EQ(Read("1E+2").number, 100);
    EXPECT_EQ(Read("-1.5e-3").number, -0.0015);
    EXPECT_EQ(Read(" 0 ").number, 0);
}

TEST(JsonReader, RefusesWhatStrictJsonRefuses) {
    for (const char* bad : {"01", "-01", "00", "+1", ".5", "1.", "1e", "1e+", "-", "0x10", "NaN", "nan", "Infinity",
                            "-Infinity", "[1,]", "[,1]", R"({"a":1,})", "{a:1}", "{'a':1}", R"({"a" 1})", "[1 2]",
                            "tru", "nul", "truex", "[1] 2", "", "   ", "\xef\xbb\xbf{}", "1e400", "-1e400"})
        EXPECT_NE(Refusal(bad), "") << bad;
    EXPECT_NE(Refusal("1e400").find("out of range"), std::string::npos);
}

TEST(JsonReader, DuplicateMembersAreRefusedAndMembersKeepTheirOrder) {
    EXPECT_NE(Refusal(R"({"a":1,"b":2,"a":3})").find("\"a\" is given twice"), std::string::npos);
    const JsonValue object = Read(R"({"b":{"a":1},"a":[true,false,null]})");
    ASSERT_EQ(object.object.size(), 2u);
    EXPECT_EQ(object.object[0].key, "b");
    ASSERT_NE(object.Find("a"), nullptr);
    EXPECT_EQ(object.Find("a")->array[2].kind, JsonValue::Kind::Null);
    EXPECT_TRUE(object.Find("a")->array[0].boolean);
    EXPECT_EQ(object.Find("c"), nullptr);
    EXPECT_EQ(object.Find("a")->Find("a"), nullptr);  // not an object
}

TEST(JsonReader, NestingIsLimitedTo64LevelsWithoutExhaustingTheStack) {
    EXPECT_EQ(Refusal(Nested(64, "[", "1", "]")), "");
    EXPECT_EQ(Refusal(Nested(64, "[", "", "]")), "");
    EXPECT_EQ(Refusal(Nested(63, R"({"a":)", "{}", "}")), "");  // 64 objects
    EXPECT_NE(Refusal(Nested(65, "[", "", "]")).find("nested too deeply"), std::string::npos);
    EXPECT_NE(Refusal(Nested(65, "[", "1", "]")).find("nested too deeply"), std::string::npos);
    EXPECT_NE(Refusal(Nested(64, R"({"a":)", "{}", "}")).find("nested too deeply"), std::string::npos);
    EXPECT_NE(Refusal(std::string(1000000, '[')).find("nested too deeply"), std::string::npos);
}

TEST(JsonReader, MessagesNameTheLine) {
    EXPECT_EQ(Refusal("{\n  \"a\": 1,\n  \"b\": x\n}").rfind("line 3: ", 0), 0u);
    EXPECT_EQ(Refusal("[1,\r\n2,\r\n3,\r\n]").rfind("line 4: ", 0), 0u);
    EXPECT_EQ(Refusal("\n\n\"never closed").rfind("line 3: ", 0), 0u);
    EXPECT_EQ(Refusal("{\"a\":1}\n\n!").rfind("line 3: text after the value", 0), 0u);
}

}  // namespace
}  // namespace kovo::util
