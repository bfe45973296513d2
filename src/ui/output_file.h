#pragma once
// Writing the output area to a file and opening a file in its associated program.
#include <optional>
#include <string>

namespace kovo::ui {

class DialogService;

// Creates or replaces `path` with `bytes`. The new content is written beside the old
// file and swapped in only when complete, so a failed write leaves an existing file
// intact. Returns the system's description of the failure, or nothing on success.
std::optional<std::string> WriteTextFile(const std::string& path, const std::string& bytes);

// Asks the desktop to open the document with its associated program. On failure and
// with showError: "Error opening file ..." (exclamation, title "Error").
bool OpenWithAssociatedProgram(const std::string& path, bool showError, DialogService& dialogs);

}  // namespace kovo::ui
