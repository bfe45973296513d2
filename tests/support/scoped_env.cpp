#include "support/scoped_env.h"

#include <cstdlib>
#include <ctime>
#include <utility>

namespace kovo::testing {

namespace {

void Apply(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value ? value->c_str() : "");
    if (name == "TZ") _tzset();
#else
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
    if (name == "TZ") ::tzset();
#endif
}

}  // namespace

std::optional<std::string> GetEnv(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), previous_(GetEnv(name_)) {
    Apply(name_, value);
}

ScopedEnv::~ScopedEnv() { Apply(name_, previous_); }

void ScopedEnv::Set(const std::optional<std::string>& value) const { Apply(name_, value); }

}  // namespace kovo::testing
