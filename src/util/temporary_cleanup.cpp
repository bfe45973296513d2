#include "util/temporary_cleanup.h"

#ifndef _WIN32

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <mutex>

namespace kovo::util {

namespace {

constexpr int kSlots = 64;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum SlotState : int { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};

Slot slots[kSlots];

// Only async-signal-safe calls: unlink, sigaction, raise.
void RemoveTemporariesAndEnd(int signalNumber) {
    for (Slot& slot : slots)
        if (slot.state.load() == kReady) ::unlink(slot.path);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(signalNumber, &standard, nullptr);
    ::raise(signalNumber);
}

void InstallHandlersOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signalNumber : kSignals) {
            struct sigaction current {};
            if (::sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction cleanup {};
            cleanup.sa_handler = RemoveTemporariesAndEnd;
            sigemptyset(&cleanup.sa_mask);
            for (const int other : kSignals) sigaddset(&cleanup.sa_mask, other);
            ::sigaction(signalNumber, &cleanup, nullptr);
        }
    });
}

}  // namespace

TemporaryFileGuard::TemporaryFileGuard(const char* path) {
    if (std::strlen(path) >= PATH_MAX) return;
    InstallHandlersOnce();
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::strcpy(slots[i].path, path);
        slots[i].state.store(kReady);
        slot_ = i;
        return;
    }
}

TemporaryFileGuard::~TemporaryFileGuard() {
    if (slot_ >= 0) slots[slot_].state.store(kFree);
}

}  // namespace kovo::util

#else  // _WIN32: no POSIX signals; Ctrl-C ends the program without cleanup

namespace kovo::util {
TemporaryFileGuard::TemporaryFileGuard(const char*) {}
TemporaryFileGuard::~TemporaryFileGuard() = default;
}  // namespace kovo::util

#endif
