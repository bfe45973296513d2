#include "support/process_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/temp_folder.h"

namespace kovo::testing {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ProgramInWorkingFolder(const std::string& name) {
    return ShellQuoted((std::filesystem::current_path() / name).string());
}

ProcessRun RunShell(const std::string& commandLine, const std::string& outputRedirection) {
    const TempFolder folder("kovo-process");
    const std::string out = folder.File("out.txt");
    const std::string err = folder.File("err.txt");
    const std::string toOut = outputRedirection.empty() ? ">" + ShellQuoted(out) : outputRedirection;
    // Braces, so that the redirections hold for every command of a list.
    const std::string command = "{ " + commandLine + "\n} " + toOut + " 2>" + ShellQuoted(err) + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
}

}  // namespace kovo::testing
