// The all-or-nothing file writer: links, planted names, files that must not be
// replaced, permissions, failures half way and concurrent writers.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "util/safe_file.h"

namespace kovo::util {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kovo_safe_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    std::string Put(const std::string& name, const std::string& text, fs::perms mode = fs::perms(0644)) {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << text;
        fs::permissions(path, mode);
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }

    static unsigned Mode(const std::string& path) {
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }

    // Every name in the folder: temporaries left behind show up here.
    std::set<std::string> Names(const std::string& sub = ".") const {
        std::set<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder / sub))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path folder;
};

TEST_F(SafeFileTest, NewFileGetsTheContentAndTheUsualPermissions) {
    const mode_t oldMask = ::umask(027);
    const std::string error = WriteFileAtomically(PathOf("new.txt"), "fresh\r\n");
    ::umask(oldMask);
    ASSERT_EQ(error, "");
    EXPECT_EQ(Read(PathOf("new.txt")), "fresh\r\n");
    EXPECT_EQ(Mode(PathOf("new.txt")), 0640u);  // 0666 less the umask, not a private 0600
    EXPECT_EQ(Names(), std::set<std::string>{"new.txt"});
}

TEST_F(SafeFileTest, ReplacedFileKeepsItsPermissions) {
    const std::string secret = Put("secret.txt", "old", fs::perms(0600));
    ASSERT_EQ(WriteFileAtomically(secret, "new"), "");
    EXPECT_EQ(Read(secret), "new");
    EXPECT_EQ(Mode(secret), 0600u);

    const std::string shared = Put("shared.txt", "old", fs::perms(0664));
    ASSERT_EQ(WriteFileAtomically(shared, ""), "");
    EXPECT_EQ(Read(shared), "");
    EXPECT_EQ(Mode(shared), 0664u);
    EXPECT_EQ(Names(), (std::set<std::string>{"secret.txt", "shared.txt"}));
}

TEST_F(SafeFileTest, LinksAreFollowedAndKept) {
    fs::create_directory(folder / "sub");
    const std::string target = Put("sub/target.txt", "old");
    fs::create_symlink("sub/../sub/target.txt", folder / "relative");
    fs::create_symlink(folder / "relative", folder / "chain");  // absolute, to a link

    ASSERT_EQ(WriteFileAtomically(PathOf("chain"), "through two links"), "");
    EXPECT_EQ(Read(target), "through two links");
    EXPECT_TRUE(fs::is_symlink(folder / "chain"));
    EXPECT_TRUE(fs::is_symlink(folder / "relative"));
    EXPECT_EQ(fs::read_symlink(folder / "relative"), "sub/../sub/target.txt");

    // A link to a file not made yet makes that file.
    fs::create_symlink("sub/later.txt", folder / "dangling");
    ASSERT_EQ(WriteFileAtomically(PathOf("dangling"), "made"), "");
    EXPECT_TRUE(fs::is_symlink(folder / "dangling"));
    EXPECT_EQ(Read(PathOf("sub/later.txt")), "made");

    fs::create_symlink("loop_b", folder / "loop_a");
    fs::create_symlink("loop_a", folder / "loop_b");
    EXPECT_NE(WriteFileAtomically(PathOf("loop_a"), "x"), "");
    EXPECT_TRUE(fs::is_symlink(folder / "loop_a"));

    EXPECT_EQ(Names(), (std::set<std::string>{"sub", "relative", "chain", "dangling", "loop_a", "loop_b"}));
    EXPECT_EQ(Names("sub"), (std::set<std::string>{"target.txt", "later.txt"}));  // the temporaries' folder
}

TEST_F(SafeFileTest, PlantedTemporaryLinkIsNeverWrittenThrough) {
    const std::string third = Put("third.txt", "precious");
    for (const char* planted : {"out.txt.tmp", "out.txt~", ".out.txt.tmp"})
        fs::create_symlink(third, folder / planted);
    ASSERT_EQ(WriteFileAtomically(PathOf("out.txt"), "report"), "");
    EXPECT_EQ(Read(third), "precious");
    EXPECT_EQ(Read(PathOf("out.txt")), "report");
    EXPECT_FALSE(fs::is_symlink(folder / "out.txt"));
    EXPECT_TRUE(fs::is_symlink(folder / "out.txt.tmp"));
}

TEST_F(SafeFileTest, RefusesWhatIsNotARegularFile) {
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0644), 0);
    fs::create_directory(folder / "folder");
    // The same device as /dev/null, made here so that a failure can only harm the
    // test folder; making device nodes needs root.
    const bool haveDevice = ::mknod(PathOf("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;

    const std::string pipeError = WriteFileAtomically(PathOf("pipe"), "x");
    EXPECT_NE(pipeError.find(PathOf("pipe")), std::string::npos) << pipeError;
    EXPECT_TRUE(fs::is_fifo(folder / "pipe"));

    EXPECT_NE(WriteFileAtomically(PathOf("folder"), "x"), "");
    EXPECT_TRUE(fs::is_directory(folder / "folder"));

    if (haveDevice) {
        fs::create_symlink("null", folder / "to_null");
        EXPECT_NE(WriteFileAtomically(PathOf("null"), "x"), "");
        EXPECT_NE(WriteFileAtomically(PathOf("to_null"), "x"), "");
        EXPECT_TRUE(fs::is_character_file(folder / "null"));
        EXPECT_TRUE(fs::is_symlink(folder / "to_null"));
    }
    std::set<std::string> expected{"pipe", "folder"};
    if (haveDevice) expected.insert({"null", "to_null"});
    EXPECT_EQ(Names(), expected);
    if (!haveDevice) GTEST_SKIP() << "device nodes need root; pipe and folder checked";
}

TEST_F(SafeFileTest, RefusesAReadOnlyFile) {
    const std::string locked = Put("locked.txt", "keep me", fs::perms(0444));
    const std::string error = WriteFileAtomically(locked, "overwritten");
    EXPECT_NE(error.find(locked), std::string::npos) << error;
    EXPECT_EQ(Read(locked), "keep me");
    EXPECT_EQ(Mode(locked), 0444u);
    EXPECT_EQ(Names(), std::set<std::string>{"locked.txt"});
}

TEST_F(SafeFileTest, FailureHalfWayLeavesTheOldFile) {
    const std::string path = Put("data.txt", "old content");
    // A file size limit makes the write itself fail after the first few bytes.
    rlimit oldLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit small = oldLimit;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = WriteFileAtomically(path, std::string(1 << 16, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    EXPECT_EQ(Read(path), "old content");
    EXPECT_EQ(Names(), std::set<std::string>{"data.txt"});
}

TEST_F(SafeFileTest, MessagesNameThePathAndTheReason) {
    const std::string path = PathOf("no_such_folder/out.txt");
    const std::string error = WriteFileAtomically(path, "x");
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
    EXPECT_NE(WriteFileAtomically("", "x"), "");
}

TEST_F(SafeFileTest, MessagesShowControlCharactersOfNamesEscaped) {
    const std::string error = WriteFileAtomically(PathOf("missing\nkovo: fake/out\x1b.txt"), "x");
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_NE(error.find(PathOf("missing\\x0Akovo: fake/out\\x1B.txt")), std::string::npos) << error;
}

// The output is the same file as an input: through its name, a link or a hard link.
TEST_F(SafeFileTest, RefusesToReplaceAnInput) {
    const std::string input = Put("in.csv", "the input");
    fs::create_symlink("in.csv", folder / "link.csv");
    fs::create_hard_link(input, folder / "hard.csv");
    for (const std::string& output : {input, PathOf("link.csv"), PathOf("hard.csv")}) {
        const std::string error = WriteFileAtomically(output, "new", {PathOf("other.csv"), input});
        EXPECT_NE(error.find(": it is the input file " + input), std::string::npos) << error;
    }
    EXPECT_EQ(Read(input), "the input");
    EXPECT_EQ(WriteFileAtomically(PathOf("out.csv"), "new", {input}), "");
}

// A link another user planted in a shared folder such as /tmp must not lead a write by
// root to root's own files (the kernel refuses to follow such links itself). Needs root
// to give the link away; the folder's owner's links and the caller's own stay followed.
TEST_F(SafeFileTest, RefusesALinkPlantedByAnotherUserInAStickyFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a link owned by another user";
    constexpr uid_t kOther = 65534;
    const fs::path shared = folder / "shared";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms(01777));
    const std::string victim = Put("victim.txt", "root's file");
    const fs::path link = shared / "report.csv";
    fs::create_symlink(victim, link);
    ASSERT_EQ(::lchown(link.c_str(), kOther, kOther), 0);
    const std::string error = WriteFileAtomically(link.string(), "replaced");
    EXPECT_NE(error.find(": the link belongs to another user"), std::string::npos) << error;
    EXPECT_EQ(CheckLinksOfPath(link.string()), error) << "the check the window's writers make first";
    EXPECT_EQ(Read(victim), "root's file");

    ASSERT_EQ(::chown(shared.c_str(), kOther, kOther), 0);  // now the folder's owner made it
    EXPECT_EQ(CheckLinksOfPath(link.string()), "");
    EXPECT_EQ(WriteFileAtomically(link.string(), "by the owner's link"), "");
    EXPECT_EQ(Read(victim), "by the owner's link");
    ASSERT_EQ(::chown(shared.c_str(), 0, 0), 0);
    ASSERT_EQ(::lchown(link.c_str(), 0, 0), 0);  // the caller's own link
    EXPECT_EQ(WriteFileAtomically(link.string(), "by my link"), "");
    EXPECT_EQ(Read(victim), "by my link");
    fs::permissions(shared, fs::perms(0755));  // no longer shared: any owner's link is followed
    ASSERT_EQ(::lchown(link.c_str(), kOther, kOther), 0);
    EXPECT_EQ(WriteFileAtomically(link.string(), "private folder"), "");
}

// A signal while the temporary exists: the program ends by that signal as before, and
// the temporary goes with it. A child writes large files in a loop until it is ended.
TEST_F(SafeFileTest, TemporaryIsRemovedWhenASignalEndsTheProgram) {
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string content(std::size_t{48} << 20, 'x');
            for (;;) WriteFileAtomically(PathOf("big.txt"), content);
        }
        bool seen = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            for (const std::string& name : Names()) seen = seen || name.ends_with(".tmp");
            if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ::kill(child, signalNumber);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(seen) << "the child never wrote";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        for (const std::string& name : Names()) EXPECT_FALSE(name.ends_with(".tmp")) << name << " signal " << signalNumber;
    }
}

TEST_F(SafeFileTest, ConcurrentWritersOfOnePathAllSucceed) {
    const std::string path = PathOf("shared.txt");
    constexpr int kThreads = 8;
    constexpr int kRounds = 25;
    std::vector<std::string> errors(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::string content(20000 + t, static_cast<char>('a' + t));
            for (int round = 0; round < kRounds && errors[t].empty(); ++round)
                errors[t] = WriteFileAtomically(path, content);
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const std::string& error : errors) EXPECT_EQ(error, "");

    // Whoever renamed last, the file is one writer's content, whole.
    const std::string result = Read(path);
    ASSERT_GE(result.size(), 20000u);
    const auto writer = static_cast<std::size_t>(result[0] - 'a');
    EXPECT_EQ(result, std::string(20000 + writer, result[0]));
    EXPECT_EQ(Names(), std::set<std::string>{"shared.txt"});
}

}  // namespace
}  // namespace kovo::util
