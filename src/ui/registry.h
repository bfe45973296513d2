#pragma once
// The per-user store of named text values for the saved state. Sub-keys are written
// the way the state code names them ("\KOVO\Year", "\KOVO"); under the store of
// organisation "Velkarn", application "KOVO", "\KOVO\Year" value "0" becomes the key
// "Year/0" and values of "\KOVO" itself sit at the top level.
#include <string>

class QString;

namespace kovo::ui {

// Writes one text value; false when the sub-key cannot be mapped or the value name is
// empty or the store cannot be written. A store that cannot be written leaves its
// reason in LastRegistryWriteError.
bool WriteRegistryText(const std::string& subKey, const std::string& valueName, const std::string& text);

// Why the last write to the store failed, in words for the user; "" after a write that
// reached the store.
const std::string& LastRegistryWriteError();

// The file that holds the store's values.
std::string RegistryLocation();

// Found: text := the stored value without trailing control characters (codes below
// 32) and true, also for an empty value. Missing key, empty value name or missing
// value: text := defaultText and false.
bool ReadRegistryText(const std::string& subKey, const std::string& valueName, std::string& text,
                      const std::string& defaultText);

// Tests point the store at an INI file of their own; an empty path goes back to the
// user's native store.
void UseRegistryFileForTests(const QString& iniPath);

}  // namespace kovo::ui
