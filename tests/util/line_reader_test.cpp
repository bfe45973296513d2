#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "support/temp_folder.h"
#include "util/line_reader.h"

using namespace kovo::util;

namespace {

// In a folder of this process's own, removed when it ends.
std::string WriteTemp(const std::string& name, const std::string& content) {
    static const kovo::testing::TempFolder folder("kovo-line-reader");
    const auto path = folder / name;
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

TEST(LineReader, ReceiverGetsFileLineNumbersAndCanStopReading) {
    // Blank lines count; CR LF, a lone CR and (with Any) a lone LF each end one line.
    const auto path = WriteTemp("kovo_lr5.txt", "a\r\n\r\n  \rb\nc\r\n\r\nd\re");
    std::vector<std::pair<std::string, std::size_t>> seen;
    auto r = ForEachTrimmedLine(path, LineEnds::Any, [&](std::string& line, std::size_t number) {
        seen.emplace_back(line, number);
        return true;
    });
    EXPECT_TRUE(r.errorText.empty());
    EXPECT_EQ(r.count, 5u);
    const std::vector<std::pair<std::string, std::size_t>> expected = {
        {"a", 1}, {"b", 4}, {"c", 5}, {"d", 7}, {"e", 8}};
    EXPECT_EQ(seen, expected);

    seen.clear();
    r = ForEachTrimmedLine(path, LineEnds::CrOrCrLf, [&](std::string& line, std::size_t number) {
        seen.emplace_back(line, number);
        return line != "d";
    });
    EXPECT_TRUE(r.stoppedAtLimit);
    EXPECT_EQ(r.count, 2u);  // the declined line is not counted
    const std::vector<std::pair<std::string, std::size_t>> untilD = {{"a", 1}, {"b\nc", 4}, {"d", 6}};
    EXPECT_EQ(seen, untilD);
    std::filesystem::remove(path);
}

TEST(LineReader, ByteOrderMarkAtTheStartIsSkipped) {
    const std::string bom = "\xEF\xBB\xBF";
    const auto path = WriteTemp("kovo_lr6.txt", bom + "2007-01-01 5\r\n" + bom + "x\r\n");
    std::vector<std::string> lines;
    ReadTrimmedLines(path, lines, LineEnds::CrOrCrLf);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "2007-01-01 5");
    EXPECT_EQ(lines[1], bom + "x");  // only the mark that opens the file is one

    lines.clear();
    const auto onlyMark = WriteTemp("kovo_lr7.txt", bom + "\r\n\r\nz");
    ReadTrimmedLines(onlyMark, lines, LineEnds::CrOrCrLf);
    EXPECT_EQ(lines, std::vector<std::string>{"z"});
    std::filesystem::remove(path);
    std::filesystem::remove(onlyMark);
}

TEST(LineReader, FilesLargerThanTheCapAreRefused) {
    const auto path = WriteTemp("kovo_lr8.txt", std::string(5000, 'a') + "\r\n");
    std::vector<std::string> lines;
    auto r = ReadTrimmedLines(path, lines, LineEnds::CrOrCrLf, 1 << 16, static_cast<std::size_t>(-1), 5001);
    EXPECT_EQ(r.errorText, "file is too large");
    EXPECT_NE(r.errorNumber, 0);
    EXPECT_TRUE(lines.empty());
    r = ReadTrimmedLines(path, lines, LineEnds::CrOrCrLf, 1 << 16, static_cast<std::size_t>(-1), 5002);
    EXPECT_TRUE(r.errorText.empty());
    EXPECT_EQ(r.count, 1u);
    std::filesystem::remove(path);

    // Files whose size the system reports as 0 are held to the cap while reading.
    if (std::filesystem::exists("/proc/self/status")) {
        lines.clear();
        r = ReadTrimmedLines("/proc/self/status", lines, LineEnds::Any, 1 << 16, static_cast<std::size_t>(-1), 64);
        EXPECT_EQ(r.errorText, "file is too large");
    }
}

TEST(LineReader, FolderIsNotARegularFile) {
    std::vector<std::string> lines;
    const auto r = ReadTrimmedLines(std::filesystem::temp_directory_path().string(), lines, LineEnds::Any);
    EXPECT_EQ(r.errorText, "not a regular file");
    EXPECT_NE(r.errorNumber, 0);
}

#ifndef _WIN32
namespace {

// The reader's error text for `path`, from a child process so that a read that blocks or
// never ends fails the test instead of hanging it; nothing when it took too long.
std::optional<std::string> ErrorTextWithin(const std::string& path, int seconds) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::vector<std::string> lines;
        const std::string text = ReadTrimmedLines(path, lines, LineEnds::Any).errorText;
        const ssize_t written = write(pipeEnds[1], text.data(), text.size());
        _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::optional<std::string> text;
    for (int tick = 0; tick < seconds * 100 && child > 0; ++tick) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            text.emplace();
            char buffer[256];
            for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
                text->append(buffer, static_cast<std::size_t>(n));
            break;
        }
        usleep(10000);
    }
    if (!text && child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    close(pipeEnds[0]);
    return text;
}

}  // namespace

TEST(LineReader, FifoAndDevicesAreRefusedWithoutWaiting) {
    const kovo::testing::TempFolder scratch("kovo-lr-fifo");
    const auto& folder = scratch.Path();
    const auto fifo = (folder / "DJIA_data.txt").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> paths = {fifo};
    if (std::filesystem::exists("/dev/zero")) paths.push_back("/dev/zero");  // never ends
    for (const auto& path : paths) {
        const auto errorText = ErrorTextWithin(path, 5);
        if (!errorText) {
            ADD_FAILURE() << "reading " << path << " blocked or did not end";
            continue;
        }
        EXPECT_EQ(*errorText, "not a regular file") << path;
    }
    std::filesystem::remove_all(folder);
}
#endif
