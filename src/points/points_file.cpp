#include "points/points_file.h"

#include <filesystem>
#include <iterator>

#include "points/points_json.h"
#include "util/input_file.h"
#include "util/safe_file.h"
#include "util/utf8.h"

namespace kovo::points {

namespace {

// Far more than any list typed by hand; a bigger file is something else.
constexpr std::uintmax_t kMaxBytes = 1 << 20;

std::string Unusable(const std::string& path, const std::string& why) {
    return "The named points in " + util::PrintableName(path) + " cannot be used (" + why +
           "); the file was left as it is.";
}

}  // namespace

PointsLoad LoadPointsFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return {};
    util::InputFile file = util::OpenInputFile(path, kMaxBytes);
    if (!file.stream) return {{}, Unusable(path, file.errorText)};
    const std::string text{std::istreambuf_iterator<char>(*file.stream), std::istreambuf_iterator<char>()};
    if (file.stream->bad()) return {{}, Unusable(path, "it could not be read")};
    auto parsed = ParsePointsJson(text);
    if (auto* problem = std::get_if<std::string>(&parsed)) return {{}, Unusable(path, *problem)};
    return {std::get<std::vector<NamedPoint>>(std::move(parsed)), {}};
}

std::string SavePointsFile(const std::string& path, const std::vector<NamedPoint>& points) {
    if (std::string problem = PointsProblem(points); !problem.empty())
        return "The named points were not saved to " + util::PrintableName(path) + ": " + problem + ".";
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (std::string problem = util::WriteFileAtomically(path, PointsJson(points)); !problem.empty())
        return "The named points were not saved: " + problem + ".";
    return {};
}

}  // namespace kovo::points
