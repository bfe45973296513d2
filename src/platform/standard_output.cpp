#include "platform/standard_output.h"

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kovo::platform {

bool StandardOutputOpen() {
#ifdef _WIN32
    return true;
#else
    if (fcntl(STDOUT_FILENO, F_GETFD) != -1 || errno != EBADF) return true;
    // The lowest free descriptor is 1 now: hold it with the null device, never written to.
    const int fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (fd != -1 && fd != STDOUT_FILENO) close(fd);
    return false;
#endif
}

ClosedOutputBuffer::int_type ClosedOutputBuffer::overflow(int_type) {
    errno = EBADF;
    return traits_type::eof();
}

std::streamsize ClosedOutputBuffer::xsputn(const char*, std::streamsize) {
    errno = EBADF;
    return 0;
}

std::string FlushAndCheck(std::ostream& out) {
    // A closed standard output fails for one reason; errno may have changed since its
    // first failed write (the ephemeris looks for files it does not find).
    if (dynamic_cast<ClosedOutputBuffer*>(out.rdbuf()) != nullptr) return std::strerror(EBADF);
    if (out) {
        errno = 0;
        out.flush();
    }
    if (out) return {};
    const int error = errno != 0 ? errno : EIO;
    return std::strerror(error);
}

}  // namespace kovo::platform
