#pragma once
// Reads a text file into trimmed, non-empty lines.
#include <cstddef>
#include <string>
#include <vector>

namespace kovo::util {

enum class LineEnds {
    CrOrCrLf,  // CR LF or a lone CR ends a line; a lone LF is part of the line
    Any        // CR LF, CR or LF
};

struct LineReadResult {
    std::string errorText;  // empty when the whole file was read
    int errorNumber = 0;
    std::size_t count = 0;  // lines stored (also those stored before an error)
    bool stoppedAtLimit = false;  // reading ended once maxLines lines were stored
};

// Appends each line, trimmed of blanks, to `lines` unless it is then empty. On an error
// the lines read so far stay. Lines longer than maxLineLength are cut there so that a
// file without line ends cannot exhaust memory. Reading also ends once maxLines lines
// are stored, for callers that know how many lines a sound file has.
LineReadResult ReadTrimmedLines(const std::string& path, std::vector<std::string>& lines,
                                LineEnds ends, std::size_t maxLineLength = 1 << 16,
                                std::size_t maxLines = static_cast<std::size_t>(-1));

}  // namespace kovo::util
