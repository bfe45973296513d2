#pragma once
// Opening a table the user names for reading. The type and size are checked on the
// opened descriptor, never on the path before opening: a FIFO or device swapped in
// between a check and the open would otherwise be read from (and a FIFO waited on).
#include <cstdint>
#include <istream>
#include <memory>
#include <string>

namespace kovo::util {

// Which file a path named when it was opened: two paths name the same file when both
// numbers agree (hard links, links and different spellings included). Zero: unknown.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool Known() const { return device != 0 || inode != 0; }
    bool operator==(const FileIdentity&) const = default;
};

struct InputFile {
    std::unique_ptr<std::istream> stream;  // null when errorText is set
    // "cannot read PATH: not an existing file", "PATH is too large", ...; PATH as
    // PrintableName shows it.
    std::string errorText;
    FileIdentity identity;
};

// Opens `path` for binary reading when it is a regular file of at most maxBytes bytes.
// A missing file gives "cannot read PATH: not an existing file"; a folder, FIFO, socket
// or device says which ("cannot read PATH: a folder, not a file"); opening never waits
// on a FIFO. The stream reads the very file that was checked.
InputFile OpenInputFile(const std::string& path, std::uintmax_t maxBytes);

// The identity of the file `path` names now (links followed), or an unknown one when
// there is none.
FileIdentity IdentityOf(const std::string& path);

}  // namespace kovo::util
