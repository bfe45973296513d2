#pragma once
#include <string>

namespace kovo::platform {

// The folder of the running executable, ending in the platform's separator.
std::string ExecutableFolder();

}  // namespace kovo::platform
