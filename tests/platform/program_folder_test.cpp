// Where the program finds its data files: beside itself in the build tree, in
// <prefix>/share/kovo when installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/program_folder.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using kovo::platform::DataFolderFor;

namespace {

std::string WithSeparator(const fs::path& folder) {
    return folder.string() + static_cast<char>(fs::path::preferred_separator);
}

class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "bin");
        fs::create_directories(root / "share" / "kovo");
    }
    const kovo::testing::TempFolder scratch{"kovo-prefix"};
    const fs::path root = scratch.Path();
};

}  // namespace

TEST_F(ProgramFolder, AnInstalledProgramFindsShareKovo) {
    std::ofstream(root / "share" / "kovo" / "KOVO_help.txt") << "help";
    EXPECT_EQ(DataFolderFor(WithSeparator(root / "bin")), WithSeparator(root / "share" / "kovo"));
}

TEST_F(ProgramFolder, FilesBesideTheProgramWin) {
    std::ofstream(root / "share" / "kovo" / "KOVO_help.txt") << "help";
    std::ofstream(root / "bin" / "pluto.slx") << "";
    EXPECT_EQ(DataFolderFor(WithSeparator(root / "bin")), WithSeparator(root / "bin"));
}

TEST_F(ProgramFolder, WithoutDataAnywhereTheProgramsFolderStays) {
    // A folder named like a data file is no data file.
    fs::create_directories(root / "share" / "kovo" / "KOVO_help.txt");
    EXPECT_EQ(DataFolderFor(WithSeparator(root / "bin")), WithSeparator(root / "bin"));
}
