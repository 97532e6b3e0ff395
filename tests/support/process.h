// Runs a command line through the shell and captures what it prints; reads files and lines.
#pragma once

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

}  // namespace testing_support
