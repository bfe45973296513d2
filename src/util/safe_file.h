#pragma once
// Replacing a file's content without ever leaving it half written or clobbering
// something that is not a plain file. Every file the program and its tools write
// (index price files, exports, reports) goes through here.
#include <string>
#include <string_view>
#include <vector>

namespace kovo::util {

// Replaces the content of the file at `path` with `content`, all or nothing.
//
// Returns "" on success, else a one-line message that names `path` and the system's
// reason (for instance "cannot write out.txt: Permission denied"); the caller adds its
// own prefix. On any failure the old file, if there was one, is left exactly as it was
// and no temporary file stays behind.
//
// What it does:
//  - A symbolic link at `path` (also a chain of links, relative or absolute) is followed
//    to its final target, which gets the new content; the link itself stays. A link
//    whose target does not exist yet creates that target. As the kernel does, a link in
//    a sticky, world-writable folder that belongs neither to the caller nor to the
//    folder's owner is refused ("the link belongs to another user").
//  - It refuses, with a message, a target that exists but is not a regular file
//    (folder, device node, pipe, socket), one the user may not write, and one that has
//    no write permission for anyone (a file marked read-only stays so, even for root).
//  - The content goes to a new, uniquely named temporary file in the target's folder,
//    created exclusively (a file or link planted under any name is never opened or
//    written through), is flushed to the disk, and is then renamed over the target.
//    Readers therefore see the old or the new file, never a mix, and concurrent
//    writers of the same path never disturb each other: the last rename wins. SIGINT,
//    SIGTERM or SIGHUP while it exists remove the temporary (TemporaryFileGuard).
//  - The new file keeps the old file's permission bits (and, where the system allows,
//    its owner and group); a file that did not exist gets the permissions of any newly
//    created file: 0666 less the umask.
//
// Limits: the rename makes a new file, so hard links to the old file keep the old
// content, and extended attributes and ACLs of the old file are not carried over.
// On Windows it follows the same steps with the standard library alone (read-only
// attribute checked, permissions and owner not copied).
//
// Safe to call from several threads at once, also for the same path.
//
// `inputs` are the files the content was made from: when the target is one of them
// (the same device and inode, through links or hard links), nothing is written and the
// message says "it is the input file ...". Names in messages pass through PrintableName.
std::string WriteFileAtomically(const std::string& path, std::string_view content,
                                const std::vector<std::string>& inputs = {});

// For writers that resolve links by other means (Qt's QSaveFile): "" when writing to
// `path` follows no link that another user planted in a sticky, world-writable folder,
// else the same message WriteFileAtomically gives ("cannot write PATH: the link belongs
// to another user"), or the message for a chain of links too long to follow.
std::string CheckLinksOfPath(const std::string& path);

}  // namespace kovo::util
