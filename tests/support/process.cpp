#include "tests/support/process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testing_support {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string MakeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tess-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

Result RunShell(const std::string& command, const std::string& env) {
    const std::string folder = MakeTempFolder();
    const std::string out = folder + "/out", err = folder + "/err";
    const std::string line = env + command + " >" + out + " 2>" + err + " </dev/null";
    const int raw = std::system(line.c_str());
    Result result;
    result.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    result.out = Slurp(out);
    result.err = Slurp(err);
    std::filesystem::remove_all(folder);
    return result;
}

}  // namespace testing_support
