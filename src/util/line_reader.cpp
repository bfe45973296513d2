#include "util/line_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "util/text.h"

namespace kovo::util {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Stores the trimmed line unless it is empty; false when it is not empty and the
// limit is already reached.
bool Store(std::string& line, std::vector<std::string>& lines, std::size_t& count,
           std::size_t maxLines) {
    std::string trimmed = TrimBlanks(line);
    line.clear();
    if (trimmed.empty()) return true;
    if (count >= maxLines) return false;
    lines.push_back(std::move(trimmed));
    ++count;
    return true;
}

}  // namespace

LineReadResult ReadTrimmedLines(const std::string& path, std::vector<std::string>& lines,
                                LineEnds ends, std::size_t maxLineLength, std::size_t maxLines) {
    LineReadResult result;
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.errorNumber = errno != 0 ? errno : ENOENT;
        result.errorText = std::strerror(result.errorNumber);
        return result;
    }
    std::string line;
    char buffer[1 << 16];
    bool pendingCr = false;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        for (std::size_t i = 0; i < n; ++i) {
            const char c = buffer[i];
            if (pendingCr) {
                pendingCr = false;
                if (c == '\n') continue;  // the LF of a CR LF pair
            }
            if (c == '\r' || (c == '\n' && ends == LineEnds::Any)) {
                if (!Store(line, lines, result.count, maxLines)) {
                    result.stoppedAtLimit = true;
                    return result;
                }
                pendingCr = c == '\r';
            } else if (line.size() < maxLineLength) {
                line += c;
            }
        }
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) {
        result.errorNumber = EIO;
        result.errorText = std::strerror(EIO);
        return result;
    }
    result.stoppedAtLimit = !Store(line, lines, result.count, maxLines);
    return result;
}

}  // namespace kovo::util
