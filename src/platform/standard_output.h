#pragma once
// Standard output for the command-line tools, checked so that a failed write is
// reported instead of passing for success.
#include <ostream>
#include <streambuf>
#include <string>

namespace kovo::platform {

// When the process starts with standard output closed, the next file it opens would
// take that descriptor and the output would land in that file. Call this first: it
// reserves the descriptor and returns false when standard output was closed.
bool StandardOutputOpen();

// A stream buffer on which every write fails as on a closed descriptor.
class ClosedOutputBuffer : public std::streambuf {
protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
};

// Flushes `out`; the system's reason when it or any earlier write failed, else "".
std::string FlushAndCheck(std::ostream& out);

}  // namespace kovo::platform
