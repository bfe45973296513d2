#include "platform/runtime_folder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kovo::platform {

namespace {

std::string& MadeFolder() {
    static std::string folder;
    return folder;
}

void RemoveMadeFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(MadeFolder(), ignored);
}

}  // namespace

void EnsureRuntimeFolder() {
#ifndef _WIN32
    const char* set = std::getenv("XDG_RUNTIME_DIR");
    if ((set != nullptr && *set != '\0') || !MadeFolder().empty()) return;
    const char* tmp = std::getenv("TMPDIR");
    const std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kovo-runtime-XXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    if (mkdtemp(path.data()) == nullptr) return;
    MadeFolder() = path.data();
    setenv("XDG_RUNTIME_DIR", path.data(), 1);
    std::atexit(RemoveMadeFolder);
#endif
}

}  // namespace kovo::platform
