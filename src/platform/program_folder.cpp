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

namespace {

bool HoldsDataFiles(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_regular_file(folder / "KOVO_help.txt", error) ||
           std::filesystem::is_regular_file(folder / "pluto.slx", error);
}

}  // namespace

std::string DataFolderFor(const std::string& executableFolder) {
    const std::filesystem::path exe(executableFolder);
    if (HoldsDataFiles(exe)) return executableFolder;
#ifdef KOVO_DATA_FROM_BINDIR
    const std::filesystem::path installed = (exe / KOVO_DATA_FROM_BINDIR).lexically_normal();
    if (HoldsDataFiles(installed)) {
        std::string folder = installed.string();
        if (folder.empty() || folder.back() != static_cast<char>(std::filesystem::path::preferred_separator))
            folder += static_cast<char>(std::filesystem::path::preferred_separator);
        return folder;
    }
#endif
    return executableFolder;
}

std::string DataFolder() { return DataFolderFor(ExecutableFolder()); }

}  // namespace kovo::platform
