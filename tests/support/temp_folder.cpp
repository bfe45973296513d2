#include "support/temp_folder.h"

#include <atomic>
#include <random>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define KOVO_GETPID _getpid
#else
#include <unistd.h>
#define KOVO_GETPID ::getpid
#endif

namespace kovo::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& prefix) {
    static std::atomic<unsigned> count{0};
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    // create_directory fails on an existing name, so a folder it makes is ours alone.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / (prefix + "-" + std::to_string(KOVO_GETPID()) + "-" +
                                           std::to_string(count++) + "-" + std::to_string(random() % 1000000));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            fs::permissions(candidate, fs::perms::owner_all, error);
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder in " + base.string());
}

TempFolder::~TempFolder() {
    std::error_code error;
    if (fs::remove_all(path_, error) != static_cast<std::uintmax_t>(-1) && !error) return;
    // A test may have left a part write-protected: open it up and try once more.
    for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error))
        if (it->is_directory(error)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

}  // namespace kovo::testing
