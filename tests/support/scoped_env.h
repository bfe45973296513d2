#pragma once
// Sets or unsets an environment variable for the life of the object, then puts back
// what was there before: the old value, or no variable at all when it was unset. For
// TZ the C library's zone is read again on both changes.
#include <optional>
#include <string>

namespace kovo::testing {

class ScopedEnv {
public:
    // std::nullopt unsets the variable.
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    // Changes the variable again; the destructor still restores the value from before
    // the object was made.
    void Set(const std::optional<std::string>& value) const;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// The variable's value, or std::nullopt when it is unset.
std::optional<std::string> GetEnv(const std::string& name);

}  // namespace kovo::testing
