#pragma once
// Reads a text file into trimmed, non-empty lines.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kovo::util {

enum class LineEnds {
    CrOrCrLf,  // CR LF or a lone CR ends a line; a lone LF is part of the line
    Any        // CR LF, CR or LF
};

// The data files are a few megabytes at most (each Pluto file about one); the cap keeps
// a wrong file from occupying the program for long.
inline constexpr std::size_t kDefaultMaxFileBytes = std::size_t{32} << 20;

struct LineReadResult {
    std::string errorText;  // empty when the whole file was read
    int errorNumber = 0;
    std::size_t count = 0;  // lines taken (also those taken before an error)
    // Reading ended early because a line was declined: by the receiver, or in the list
    // form because maxLines lines were already stored.
    bool stoppedAtLimit = false;
};

// Gets each trimmed, non-empty line (it may move the text away) with its 1-based line
// number in the file, blank lines counted. Returns false to decline the line and end
// reading.
using LineReceiver = std::function<bool(std::string& line, std::size_t lineNumber)>;

// Only regular files are read: a folder, a FIFO or a device gives the error "not a
// regular file" (a FIFO is never waited on), and a file of more than maxBytes bytes
// gives "file is too large". A UTF-8 byte-order mark at the very start is not part of
// the first line. Lines longer than maxLineLength are cut there so that a file without
// line ends cannot exhaust memory. On an error the lines taken so far stay taken.
LineReadResult ForEachTrimmedLine(const std::string& path, LineEnds ends, const LineReceiver& receive,
                                  std::size_t maxLineLength = 1 << 16,
                                  std::size_t maxBytes = kDefaultMaxFileBytes);

// The same, appending each line to `lines`. Reading also ends once maxLines lines are
// stored and another follows, for callers that know how many lines a sound file has.
LineReadResult ReadTrimmedLines(const std::string& path, std::vector<std::string>& lines,
                                LineEnds ends, std::size_t maxLineLength = 1 << 16,
                                std::size_t maxLines = static_cast<std::size_t>(-1),
                                std::size_t maxBytes = kDefaultMaxFileBytes);

}  // namespace kovo::util
