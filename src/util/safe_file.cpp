#include "util/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <cwchar>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "util/temporary_cleanup.h"
#include "util/utf8.h"

namespace kovo::util {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinkHops = 40;        // as the kernel's own limit
constexpr int kTemporaryAttempts = 100;  // name clashes are one in 2^36 each
constexpr std::size_t kMaxTemporaryStem = 200;  // the suffix must still fit NAME_MAX

std::string Reason(int error) { return std::generic_category().message(error); }  // thread-safe strerror

// The path for messages: the user's path, and where a link led when it led elsewhere.
std::string Describe(const std::string& path, const fs::path& target) {
    if (target.string() == path) return PrintableName(path);
    return PrintableName(path) + " (link to " + PrintableName(target.string()) + ")";
}

#ifndef _WIN32
// The kernel's rule for links in shared folders, which resolving links here would
// bypass: a link in a sticky, world-writable folder (such as /tmp) is followed only
// when it belongs to the caller or to the folder's owner, so that another user cannot
// point a name the caller is about to write at a file of the caller's.
bool PlantedByAnotherUser(const fs::path& link) {
    const fs::path folder = link.parent_path().empty() ? fs::path(".") : link.parent_path();
    struct stat folderInfo {};
    struct stat linkInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || ::lstat(link.c_str(), &linkInfo) != 0) return false;
    const bool shared = (folderInfo.st_mode & S_ISVTX) != 0 && (folderInfo.st_mode & S_IWOTH) != 0;
    return shared && linkInfo.st_uid != ::geteuid() && linkInfo.st_uid != folderInfo.st_uid;
}
#else
bool PlantedByAnotherUser(const fs::path&) { return false; }
#endif

// Follows symbolic links at the last component until a non-link or a missing file.
std::string ResolveFinalTarget(const std::string& path, fs::path& target) {
    target = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(target, error);
        if (error && status.type() != fs::file_type::not_found)
            return "cannot write " + Describe(path, target) + ": " + error.message();
        if (status.type() != fs::file_type::symlink) return {};
        if (PlantedByAnotherUser(target))
            return "cannot write " + Describe(path, target) + ": the link belongs to another user";
        const fs::path link = fs::read_symlink(target, error);
        if (error) return "cannot write " + Describe(path, target) + ": " + error.message();
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return "cannot write " + PrintableName(path) + ": " + Reason(ELOOP);
}

// Six random characters from [a-z0-9]: about 2^31 names per attempt.
std::string RandomSuffix() {
    thread_local std::mt19937_64 engine = [] {
        std::random_device device;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        std::seed_seq seed{device(), device(), static_cast<unsigned>(now),
                           static_cast<unsigned>(static_cast<unsigned long long>(now) >> 32)};
        return std::mt19937_64(seed);
    }();
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kChars[pick(engine)];
    return suffix;
}

fs::path TemporaryName(const fs::path& target) {
    const std::string stem = target.filename().string().substr(0, kMaxTemporaryStem);
    return target.parent_path() / (stem + "." + RandomSuffix() + ".tmp");
}

#ifndef _WIN32

// Writes everything, resuming after interruptions and short writes.
int WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const std::size_t chunk = std::min<std::size_t>(content.size(), std::size_t{1} << 30);
        const ssize_t written = ::write(fd, content.data(), chunk);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Fills the temporary and gives it the old file's permissions; an errno or 0.
int FillTemporary(int fd, std::string_view content, const struct stat* old) {
    if (const int error = WriteAll(fd, content); error != 0) return error;
    if (old != nullptr) {
        // Owner first: changing it may clear permission bits that fchmod then restores.
        if ((old->st_uid != ::geteuid() || old->st_gid != ::getegid()) &&
            ::fchown(fd, old->st_uid, old->st_gid) != 0) {
            // Only root may give a file away: for others the new file is theirs.
        }
        if (::fchmod(fd, old->st_mode & 0777) != 0) return errno;
    }
    if (::fsync(fd) != 0) return errno;
    return 0;
}

// Makes the rename itself durable; a folder that cannot be synced is no failure.
void SyncFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string WriteResolved(const std::string& path, const fs::path& target, std::string_view content) {
    const std::string name = Describe(path, target);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (const int error = errno; !exists && error != ENOENT) return "cannot write " + name + ": " + Reason(error);
    if (exists) {
        if (!S_ISREG(old.st_mode)) return "cannot write " + name + ": it is not a regular file";
        if (::access(target.c_str(), W_OK) != 0) {
            const int error = errno;
            return "cannot write " + name + ": " + Reason(error);
        }
        if ((old.st_mode & 0222) == 0) return "cannot write " + name + ": the file is read-only";
    }

    fs::path temporary;
    int fd = -1;
    int openError = 0;
    std::optional<TemporaryFileGuard> guard;
    for (int attempt = 0; attempt < kTemporaryAttempts && fd < 0; ++attempt) {
        temporary = TemporaryName(target);
        // Registered before it exists, so that no signal finds it unregistered.
        guard.emplace(temporary.c_str());
        // O_EXCL also refuses an existing symbolic link, so nothing planted is followed.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        openError = errno;
        if (fd < 0) guard.reset();
        if (fd < 0 && openError != EEXIST) break;
    }
    if (fd < 0) return "cannot write " + name + ": cannot create a file in its folder: " + Reason(openError);

    int error = FillTemporary(fd, content, exists ? &old : nullptr);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return "cannot write " + name + ": " + Reason(error);
    }
    SyncFolder(target);
    return {};
}

#else  // _WIN32: the standard library only

std::string WriteResolved(const std::string& path, const fs::path& target, std::string_view content) {
    const std::string name = Describe(path, target);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (error && status.type() != fs::file_type::not_found) return "cannot write " + name + ": " + error.message();
    if (fs::exists(status)) {
        if (!fs::is_regular_file(status)) return "cannot write " + name + ": it is not a regular file";
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
            return "cannot write " + name + ": the file is read-only";
    }
    fs::path temporary;
    std::FILE* file = nullptr;
    int openError = 0;
    for (int attempt = 0; attempt < kTemporaryAttempts && file == nullptr; ++attempt) {
        temporary = TemporaryName(target);
        file = ::_wfopen(temporary.c_str(), L"wbx");  // "x": fails on any existing name
        openError = errno;
        if (file == nullptr && openError != EEXIST) break;
    }
    if (file == nullptr) return "cannot write " + name + ": cannot create a file in its folder: " + Reason(openError);
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                         std::fflush(file) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        fs::remove(temporary, error);
        return "cannot write " + name + ": " + Reason(written ? EIO : writeError);
    }
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return "cannot write " + name + ": " + error.message();
    }
    return {};
}

#endif

}  // namespace

std::string CheckLinksOfPath(const std::string& path) {
    fs::path target;
    return ResolveFinalTarget(path, target);
}

std::string WriteFileAtomically(const std::string& path, std::string_view content,
                                const std::vector<std::string>& inputs) {
    if (path.empty()) return "cannot write a file without a name";
    fs::path target;
    if (std::string error = ResolveFinalTarget(path, target); !error.empty()) return error;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (fs::equivalent(target, input, error))
            return "cannot write " + Describe(path, target) + ": it is the input file " + PrintableName(input);
    }
    return WriteResolved(path, target, content);
}

}  // namespace kovo::util
