// The shared test support: scratch folders that never collide and always go, and
// environment variables that are put back as they were.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "support/process_run.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace kovo::testing {
namespace {

namespace fs = std::filesystem;

TEST(TempFolder, EachIsNewAndGoesWithEverythingInItWriteProtectedPartsToo) {
    fs::path first;
    {
        const TempFolder a("kovo-support");
        const TempFolder b("kovo-support");
        first = a.Path();
        EXPECT_NE(a.Path(), b.Path());
        EXPECT_TRUE(fs::is_directory(a.Path()));
        EXPECT_TRUE(fs::is_empty(a.Path()));
        fs::create_directories(a / "locked" / "inner");
        std::ofstream(a.File("locked/inner/file.txt")) << "x";
        fs::permissions(a / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        fs::permissions(a / "locked" / "inner", fs::perms::none);
    }
    EXPECT_FALSE(fs::exists(first));
}

TEST(ScopedEnv, PutsBackAnUnsetVariableAndAnOldValue) {
    const char* name = "KOVO_SUPPORT_TEST_VARIABLE";
    ASSERT_EQ(GetEnv(name), std::nullopt);
    {
        const ScopedEnv set(name, "one");
        EXPECT_EQ(GetEnv(name), "one");
        set.Set("two");
        EXPECT_EQ(GetEnv(name), "two");
        {
            const ScopedEnv unset(name, std::nullopt);
            EXPECT_EQ(GetEnv(name), std::nullopt);
        }
        EXPECT_EQ(GetEnv(name), "two");
    }
    EXPECT_EQ(GetEnv(name), std::nullopt);
}

TEST(ScopedEnv, AZoneChangeReachesTheCLibraryBothWays) {
    const ScopedEnv outer("TZ", "UTC");
    {
        const ScopedEnv zone("TZ", "EST5");
        EXPECT_EQ(timezone, 5 * 3600);
    }
    EXPECT_EQ(timezone, 0);
}

TEST(ProcessRun, CapturesBothOutputsAndTheStatus) {
    const ProcessRun r = RunShell("printf 'out it'\\''s' ; printf err >&2 ; exit 3");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "out it's");
    EXPECT_EQ(r.err, "err");
    EXPECT_EQ(RunShell("printf gone", ">/dev/null").out, "");
    EXPECT_EQ(RunShell("printf %s " + ShellQuoted("a 'b' $c")).out, "a 'b' $c");
    EXPECT_EQ(RunShell("kill -9 $$").status, -1);
}

}  // namespace
}  // namespace kovo::testing
