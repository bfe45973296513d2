#include "platform/program_folder.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kovo::platform {

std::string ExecutableFolder() {
    std::filesystem::path exe;
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    exe = std::filesystem::path(std::wstring(buffer, n));
#else
    std::error_code error;
    exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) exe = std::filesystem::current_path() / "kovo";
#endif
    std::string folder = exe.parent_path().string();
    folder += static_cast<char>(std::filesystem::path::preferred_separator);
    return folder;
}

}  // namespace kovo::platform
