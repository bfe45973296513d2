#pragma once
#include <string>

namespace kovo::platform {

// The folder of the running executable, ending in the platform's separator.
std::string ExecutableFolder();

// The folder of the program's data files (Pluto files, help text), ending in the
// separator: the executable's own folder when it holds them (the build tree, or a
// program copied together with its files), else the installed data folder beside the
// executable's (<prefix>/share/kovo for <prefix>/bin), else the executable's folder.
std::string DataFolder();

// The same choice for a given executable folder, for tests.
std::string DataFolderFor(const std::string& executableFolder);

}  // namespace kovo::platform
