#include "util/line_reader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "util/text.h"

namespace kovo::util {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

void SetError(LineReadResult& result, int number, const char* text = nullptr) {
    result.errorNumber = number;
    result.errorText = text != nullptr ? text : std::strerror(number);
}

#ifdef _WIN32
bool IsRegular(const struct _stat64& info) { return (info.st_mode & _S_IFMT) == _S_IFREG; }
bool IsFolder(const struct _stat64& info) { return (info.st_mode & _S_IFMT) == _S_IFDIR; }
#else
bool IsRegular(const struct stat& info) { return S_ISREG(info.st_mode); }
bool IsFolder(const struct stat& info) { return S_ISDIR(info.st_mode); }
#endif

template <typename Info>
bool RefuseUnlessRegular(const Info& info, std::size_t maxBytes, LineReadResult& result) {
    if (!IsRegular(info)) {
        SetError(result, IsFolder(info) ? EISDIR : EINVAL, "not a regular file");
        return true;
    }
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > maxBytes) {
        SetError(result, EFBIG, "file is too large");
        return true;
    }
    return false;
}

// Opens the file for reading when it is a regular file of at most maxBytes bytes.
FilePtr OpenRegularFile(const std::string& path, std::size_t maxBytes, LineReadResult& result) {
#ifdef _WIN32
    struct _stat64 info {};
    if (_stat64(path.c_str(), &info) != 0) {
        SetError(result, errno != 0 ? errno : ENOENT);
        return nullptr;
    }
    if (RefuseUnlessRegular(info, maxBytes, result)) return nullptr;
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) SetError(result, errno != 0 ? errno : ENOENT);
    return file;
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        SetError(result, errno);
        return nullptr;
    }
    if (RefuseUnlessRegular(info, maxBytes, result)) return nullptr;
    // Opening a FIFO for reading waits for a writer unless O_NONBLOCK is given; and the
    // path may have been replaced since the check above, so the open file is checked too.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetError(result, errno);
        return nullptr;
    }
    if (::fstat(fd, &info) != 0 || RefuseUnlessRegular(info, maxBytes, result)) {
        if (result.errorText.empty()) SetError(result, errno);
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    FilePtr file(::fdopen(fd, "rb"));
    if (!file) {
        SetError(result, errno);
        ::close(fd);
    }
    return file;
#endif
}

}  // namespace

LineReadResult ForEachTrimmedLine(const std::string& path, LineEnds ends, const LineReceiver& receive,
                                  std::size_t maxLineLength, std::size_t maxBytes) {
    LineReadResult result;
    const FilePtr file = OpenRegularFile(path, maxBytes, result);
    if (!file) return result;

    std::string line;
    std::size_t lineNumber = 1;
    // Passes the finished line on unless it is blank; false when the receiver declines it.
    auto deliver = [&] {
        std::string trimmed = TrimBlanks(line);
        line.clear();
        if (trimmed.empty()) return true;
        if (!receive(trimmed, lineNumber)) return false;
        ++result.count;
        return true;
    };

    char buffer[1 << 16];
    std::size_t total = 0;
    bool pendingCr = false;
    for (bool first = true;; first = false) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        total += n;
        // The size was checked at opening; this catches files that grow while being read
        // and files whose size the system does not report.
        if (total > maxBytes) {
            SetError(result, EFBIG, "file is too large");
            return result;
        }
        std::size_t i = 0;
        if (first && n >= 3 && std::memcmp(buffer, kByteOrderMark, 3) == 0) i = 3;
        for (; i < n; ++i) {
            const char c = buffer[i];
            if (pendingCr) {
                pendingCr = false;
                if (c == '\n') continue;  // the LF of a CR LF pair
            }
            if (c == '\r' || (c == '\n' && ends == LineEnds::Any)) {
                if (!deliver()) {
                    result.stoppedAtLimit = true;
                    return result;
                }
                ++lineNumber;
                pendingCr = c == '\r';
            } else if (line.size() < maxLineLength) {
                line += c;
            }
        }
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) {
        SetError(result, EIO);
        return result;
    }
    result.stoppedAtLimit = !deliver();
    return result;
}

LineReadResult ReadTrimmedLines(const std::string& path, std::vector<std::string>& lines, LineEnds ends,
                                std::size_t maxLineLength, std::size_t maxLines, std::size_t maxBytes) {
    std::size_t stored = 0;
    return ForEachTrimmedLine(
        path, ends,
        [&](std::string& line, std::size_t) {
            if (stored >= maxLines) return false;
            lines.push_back(std::move(line));
            ++stored;
            return true;
        },
        maxLineLength, maxBytes);
}

}  // namespace kovo::util
