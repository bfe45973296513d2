#pragma once
// A private scratch folder per test. Test cases of one program run as parallel
// processes under ctest -j (and other build trees may run the same tests at the same
// time), so a fixed name under /tmp would be shared between them.
#include <filesystem>
#include <string>

namespace kovo::testing {

class TempFolder {
public:
    // Makes <system temp folder>/<prefix>-<process id>-<count>-<random>, readable by
    // the owner only.
    explicit TempFolder(const std::string& prefix = "kovo");
    // Removes the folder and everything in it, write-protected parts too.
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of `name` inside the folder, as text.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace kovo::testing
