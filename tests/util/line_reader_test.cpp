#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "util/line_reader.h"

using namespace kovo::util;

namespace {

std::string WriteTemp(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

}  // namespace

TEST(LineReader, TrimsSkipsBlankLinesAndHonoursLineEnds) {
    const auto path = WriteTemp("kovo_lr1.txt", "  a  \r\n\r\n   \r\nb\rc\nd\r\n");
    std::vector<std::string> lines;
    auto r = ReadTrimmedLines(path, lines, LineEnds::CrOrCrLf);
    EXPECT_TRUE(r.errorText.empty());
    ASSERT_EQ(r.count, 3u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "c\nd");  // a lone LF does not end a line here

    lines.clear();
    r = ReadTrimmedLines(path, lines, LineEnds::Any);
    ASSERT_EQ(r.count, 4u);
    EXPECT_EQ(lines[3], "d");
    std::filesystem::remove(path);
}

TEST(LineReader, LastLineWithoutLineEndIsKept) {
    const auto path = WriteTemp("kovo_lr2.txt", "x\r\ny");
    std::vector<std::string> lines;
    EXPECT_EQ(ReadTrimmedLines(path, lines, LineEnds::Any).count, 2u);
    EXPECT_EQ(lines.back(), "y");
    std::filesystem::remove(path);
}

TEST(LineReader, MissingFileReportsAnErrorAndNoLines) {
    std::vector<std::string> lines;
    const auto r = ReadTrimmedLines("/nonexistent/kovo/file.txt", lines, LineEnds::Any);
    EXPECT_FALSE(r.errorText.empty());
    EXPECT_NE(r.errorNumber, 0);
    EXPECT_EQ(r.count, 0u);
}

TEST(LineReader, VeryLongLinesAreCutNotStoredWhole) {
    const auto path = WriteTemp("kovo_lr3.txt", std::string(300000, '7') + "\r\n8");
    std::vector<std::string> lines;
    const auto r = ReadTrimmedLines(path, lines, LineEnds::CrOrCrLf, 1000);
    ASSERT_EQ(r.count, 2u);
    EXPECT_EQ(lines[0].size(), 1000u);
    EXPECT_EQ(lines[1], "8");
    std::filesystem::remove(path);
}

TEST(LineReader, StopsOnceTheLineLimitIsPassed) {
    const auto path = WriteTemp("kovo_lr4.txt", "a\r\n\r\nb\r\n  \r\nc");
    std::vector<std::string> lines;
    auto r = ReadTrimmedLines(path, lines, LineEnds::CrOrCrLf, 1000, 3);
    EXPECT_EQ(r.count, 3u);  // exactly the limit: the whole file, blank lines not counted
    EXPECT_FALSE(r.stoppedAtLimit);
    lines.clear();
    r = ReadTrimmedLines(path, lines, LineEnds::CrOrCrLf, 1000, 2);
    EXPECT_TRUE(r.stoppedAtLimit);
    ASSERT_EQ(r.count, 2u);
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "b");
    std::filesystem::remove(path);
}
