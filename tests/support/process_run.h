#pragma once
// Running a program through the shell as a user would, with what it prints captured.
#include <filesystem>
#include <string>

namespace kovo::testing {

struct ProcessRun {
    int status = -1;  // the exit status, or -1 when the program did not exit (killed, an abort)
    std::string out;  // empty when standard output was sent elsewhere
    std::string err;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadAll(const std::filesystem::path& path);

// `text` in single quotes for the shell, quotes inside it escaped.
std::string ShellQuoted(const std::string& text);

// A program of the working folder (the build's data folder, where the tests run),
// quoted for the shell.
std::string ProgramInWorkingFolder(const std::string& name);

// Runs `commandLine` with standard input from /dev/null and captures standard output
// and standard error through files of a private temporary folder. `outputRedirection`
// (">/dev/full", ">&-") sends standard output elsewhere instead of capturing it.
ProcessRun RunShell(const std::string& commandLine, const std::string& outputRedirection = "");

}  // namespace kovo::testing
