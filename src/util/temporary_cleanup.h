#pragma once
// Removing half-written temporary files when the program is ended by a signal. The
// writers register a temporary from just before its creation until it has been renamed
// or removed; SIGINT, SIGTERM or SIGHUP then remove every registered file before the
// program ends by the same signal, as it would have without this.
namespace kovo::util {

// Registers `path` (a copy is kept) for its lifetime. A signal whose handling the
// program set itself (not the default) is left alone. Without a free slot (more than
// 64 writes at once) the file simply is not registered. Thread-safe.
class TemporaryFileGuard {
public:
    explicit TemporaryFileGuard(const char* path);
    ~TemporaryFileGuard();
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

private:
    int slot_ = -1;
};

}  // namespace kovo::util
