// Runs a command line through the shell and captures what it prints; reads files and lines;
// temporary folders.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct Result {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs `command` (a shell command line) with `env` prepended (e.g. "LC_ALL=C ").
Result RunShell(const std::string& command, const std::string& env = "");

// The whole of file `path` (empty when it cannot be read), and `text` split into lines.
std::string Slurp(const std::string& path);
std::vector<std::string> Lines(const std::string& text);

// A new empty folder below the system's temporary folder.
std::string MakeTempFolder();

// A temporary class registry folder for the test and the processes it starts (`env` for their
// command lines), removed with everything in it at the end.
struct ScopedRegistry {
    const std::string folder = MakeTempFolder();
    const std::string env = "TESSIVAR_REGISTRY=" + folder + " ";
    ScopedRegistry() { setenv("TESSIVAR_REGISTRY", folder.c_str(), 1); }
    ~ScopedRegistry() {
        unsetenv("TESSIVAR_REGISTRY");
        std::filesystem::remove_all(folder);
    }
};

}  // namespace testing_support
