// points.json: the strict reader, the checks, and the file that is read whole or not at
// all and written complete or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "points/points_file.h"
#include "points/points_json.h"
#include "support/temp_folder.h"

namespace {

using kovo::points::NamedPoint;
using kovo::points::ParsePointsJson;

std::string Problem(const std::string& text) {
    const auto parsed = ParsePointsJson(text);
    EXPECT_TRUE(std::holds_alternative<std::string>(parsed)) << text;
    return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(PointsJson, WrittenPointsReadBackUnchanged) {
    const std::vector<NamedPoint> points{{"NYSE Sun", 45.5}, {"Quote \"x\" \\ ünïcode °", 0}, {"Last", 359.99999999999994}};
    const std::string text = kovo::points::PointsJson(points);
    EXPECT_EQ(text.substr(0, 42), "[\n  {\"name\": \"NYSE Sun\", \"degree\": 45.5},\n");
    const auto back = ParsePointsJson(text);
    ASSERT_TRUE(std::holds_alternative<std::vector<NamedPoint>>(back)) << std::get<std::string>(back);
    EXPECT_EQ(std::get<std::vector<NamedPoint>>(back), points);
    EXPECT_EQ(kovo::points::PointsJson({}), "[]\n");
    EXPECT_TRUE(std::get<std::vector<NamedPoint>>(ParsePointsJson(" [ ] ")).empty());
}

TEST(PointsJson, HandWrittenJsonIsReadWithEscapesKeyOrderAndByteOrderMark) {
    const auto parsed = ParsePointsJson(
        "\xEF\xBB\xBF[{\"degree\": 1e1, \"name\": \"A\\u00e9\\ud83d\\ude00\\/\"},\r\n {\"name\":\"B\",\"degree\":0.25E+1}]");
    ASSERT_TRUE(std::holds_alternative<std::vector<NamedPoint>>(parsed)) << std::get<std::string>(parsed);
    const auto& points = std::get<std::vector<NamedPoint>>(parsed);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0], (NamedPoint{"A\xC3\xA9\xF0\x9F\x98\x80/", 10}));
    EXPECT_EQ(points[1], (NamedPoint{"B", 2.5}));
}

TEST(PointsJson, EveryWrongShapeIsRefusedWithWhereAndWhat) {
    EXPECT_NE(Problem("").find("line 1, column 1"), std::string::npos);
    EXPECT_NE(Problem("{\"name\": \"A\", \"degree\": 1}").find("'[' expected"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\",\n \"degree\": \"45\"}]").find("line 2, column 12: \"degree\" needs a number"),
              std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": 01}]").find("needs a number"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": NaN}]").find("needs a number"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": 1},]").find("'{' expected"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": 1}] x").find("text after the closing ']'"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": 1, \"colour\": 2}]").find("point 1: \"colour\" is no key"),
              std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"name\": \"B\", \"degree\": 1}]").find("given twice"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\"}]").find("point 1: it has no \"degree\""), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\\ud800\", \"degree\": 1}]").find("surrogate"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": 1").find("the text ends"), std::string::npos);
    // Well-formed JSON whose points break the rules.
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": 360}]").find("point 1: the degree of \"A\" must be at least 0 and below 360"),
              std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": -0.5}]").find("below 360"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\", \"degree\": 1e999}]").find("needs a number"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \" \", \"degree\": 1}]").find("point 1: the name is empty"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"A\\nB\", \"degree\": 1}]").find("control character"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"\xff\", \"degree\": 1}]").find("not valid UTF-8"), std::string::npos);
    EXPECT_NE(Problem("[{\"name\": \"Sun\", \"degree\": 1}, {\"name\": \"SUN\", \"degree\": 2}]")
                  .find("point 2: the name \"SUN\" is used twice"),
              std::string::npos);
}

TEST(PointsFile, NoFileIsAnEmptyListAndABadFileIsReportedAndLeftAsItIs) {
    const kovo::testing::TempFolder folder("points");
    const std::string path = folder.File("points.json");
    const auto none = kovo::points::LoadPointsFile(path);
    EXPECT_TRUE(none.points.empty());
    EXPECT_EQ(none.problem, "");

    const std::string bad = "[{\"name\": \"A\", \"degree\": 400}]";
    std::ofstream(path, std::ios::binary) << bad;
    const auto load = kovo::points::LoadPointsFile(path);
    EXPECT_TRUE(load.points.empty());
    EXPECT_NE(load.problem.find(path), std::string::npos) << load.problem;
    EXPECT_NE(load.problem.find("below 360"), std::string::npos) << load.problem;
    EXPECT_EQ(Slurp(path), bad);

    std::filesystem::create_directory(folder / "folder.json");
    EXPECT_NE(kovo::points::LoadPointsFile(folder.File("folder.json")).problem.find("not a file"), std::string::npos);
}

TEST(PointsFile, SavingMakesTheFolderAndABadListOrFailedWriteKeepsTheOldFile) {
    const kovo::testing::TempFolder folder("points");
    const std::string path = (folder / "new" / "settings" / "points.json").string();
    const std::vector<NamedPoint> points{{"NYSE Sun", 45.5}};
    ASSERT_EQ(kovo::points::SavePointsFile(path, points), "");
    EXPECT_EQ(kovo::points::LoadPointsFile(path).points, points);

    const std::string before = Slurp(path);
    const std::string refused = kovo::points::SavePointsFile(path, {{"A", 1}, {"a", 2}});
    EXPECT_NE(refused.find("used twice"), std::string::npos) << refused;
    EXPECT_EQ(Slurp(path), before);

    std::filesystem::create_directory(folder / "taken.json");
    const std::string failed = kovo::points::SavePointsFile(folder.File("taken.json"), points);
    EXPECT_NE(failed.find("not saved"), std::string::npos) << failed;
}

}  // namespace
