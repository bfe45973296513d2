#include "util/input_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <streambuf>
#include <vector>

#include "util/utf8.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kovo::util {

namespace {

std::string NotAFile(const std::string& path) { return "cannot read " + PrintableName(path) + ": not an existing file"; }
std::string TooLarge(const std::string& path) { return PrintableName(path) + " is too large"; }

#ifndef _WIN32
// What an opened path is instead of a regular file, in the user's words.
std::string NotAFile(const std::string& path, mode_t mode) {
    const char* what = S_ISDIR(mode) ? "a folder" : S_ISFIFO(mode) ? "a pipe (FIFO)" : S_ISSOCK(mode) ? "a socket" : "a device";
    return "cannot read " + PrintableName(path) + ": " + what + ", not a file";
}
#endif

#ifndef _WIN32

// A read-only stream buffer over a descriptor it owns.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd), buffer_(std::size_t{1} << 16) {}
    ~DescriptorBuffer() override { ::close(fd_); }
    DescriptorBuffer(const DescriptorBuffer&) = delete;
    DescriptorBuffer& operator=(const DescriptorBuffer&) = delete;

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        ssize_t n = 0;
        do n = ::read(fd_, buffer_.data(), buffer_.size());
        while (n < 0 && errno == EINTR);
        if (n < 0) throw std::ios_base::failure(std::strerror(errno));  // istream sets badbit
        if (n == 0) return traits_type::eof();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
        return traits_type::to_int_type(*gptr());
    }

private:
    int fd_;
    std::vector<char> buffer_;
};

class DescriptorStream : public std::istream {
public:
    explicit DescriptorStream(int fd) : std::istream(nullptr), buffer_(fd) { rdbuf(&buffer_); }

private:
    DescriptorBuffer buffer_;
};

#endif

}  // namespace

#ifndef _WIN32

InputFile OpenInputFile(const std::string& path, std::uintmax_t maxBytes) {
    InputFile input;
    // O_NONBLOCK: opening a FIFO returns at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        input.errorText = error == ENOENT ? NotAFile(path) : "cannot read " + PrintableName(path) + ": " + std::strerror(error);
        return input;
    }
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        ::close(fd);
        input.errorText = known ? NotAFile(path, info.st_mode) : NotAFile(path);
        return input;
    }
    if (info.st_size < 0 || static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        ::close(fd);
        input.errorText = TooLarge(path);
        return input;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    input.identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    input.stream = std::make_unique<DescriptorStream>(fd);
    return input;
}

FileIdentity IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

#else  // _WIN32: the standard library's checks, then the open

InputFile OpenInputFile(const std::string& path, std::uintmax_t maxBytes) {
    InputFile input;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        input.errorText = NotAFile(path);
    } else if (std::filesystem::file_size(path, error) > maxBytes) {
        input.errorText = TooLarge(path);
    } else if (auto file = std::make_unique<std::ifstream>(path, std::ios::binary); !*file) {
        input.errorText = "cannot read " + PrintableName(path) + ": " + std::strerror(errno);
    } else {
        input.stream = std::move(file);
    }
    return input;
}

FileIdentity IdentityOf(const std::string&) { return {}; }

#endif

}  // namespace kovo::util
