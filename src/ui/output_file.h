#pragma once
// Writing the window's files and opening a file in its associated program.
#include <optional>
#include <string>
#include <string_view>

namespace kovo::ui {

class DialogService;

// Creates or replaces `path` with `bytes` through util::WriteFileAtomically: the new
// content is swapped in only when complete, so a failed write leaves an existing file
// intact. Returns the reason of a failure ("Permission denied"), which the windows put
// after their own words and the path; nothing on success.
std::optional<std::string> WriteTextFile(const std::string& path, std::string_view bytes);

// The reason at the end of a writer's one-line message:
// "cannot write a.txt: Permission denied" gives "Permission denied".
std::string FailureReason(const std::string& message);

// Asks the desktop to open the document with its associated program. On failure and
// with showError: "Error opening file ..." (exclamation, title "Error").
bool OpenWithAssociatedProgram(const std::string& path, bool showError, DialogService& dialogs);

}  // namespace kovo::ui
