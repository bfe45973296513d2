#pragma once
// The save-file dialog of the extra windows: a name typed without an extension gets the
// chosen filter's ("*.csv" gives ".csv").
#include <string>

namespace kovo::ui {

class DialogService;

// The chosen path ("" when cancelled); `selectedFilter`, when given, receives the filter
// the user chose ("" when the service cannot tell).
std::string AskSavePath(DialogService& dialogs, const char* title, const std::string& filters,
                        std::string* selectedFilter = nullptr);

}  // namespace kovo::ui
