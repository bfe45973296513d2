#pragma once
// The readers under test take a path: each input goes to one file per process.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace kovo::fuzz {

inline std::string WriteInputFile(const std::uint8_t* data, std::size_t size, const char* name) {
    const std::string path = "/tmp/kovo_fuzz_" + std::to_string(getpid()) + "_" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) __builtin_trap();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) __builtin_trap();
    std::fclose(f);
    return path;
}

}  // namespace kovo::fuzz
