#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "host/cli/command_line.h"

#if defined(_WIN32)
#include <windows.h>

#include <shellapi.h>

#include "com/owners.h"
#include "com/text.h"
#endif

namespace {

// The arguments after the program name.
std::vector<std::string> Arguments(int argc, char** argv) {
#if defined(_WIN32)
    // As the user typed them (the narrow ones lose what the code page lacks).
    int count = 0;
    const com::LocalMemory<LPWSTR> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    if (wide) {
        std::vector<std::string> args;
        for (int i = 1; i < count; ++i)
            args.push_back(com::ToUtf8(std::wstring_view(wide.Get()[i])));
        return args;
    }
#endif
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    SetConsoleOutputCP(CP_UTF8);  // lcdhost writes UTF-8 everywhere
#endif
    int status = 1;
    try {
        status = host::RunCommand(Arguments(argc, argv), std::cout, std::cerr);
    } catch (const std::exception& e) {
        // Whatever went wrong, one line as every error of lcdhost.
        std::cout.flush();
        std::cerr << "lcdhost: " << e.what() << '\n';
    } catch (...) {
        std::cout.flush();
        std::cerr << "lcdhost: an unknown exception ended the run\n";
    }
    std::cout.flush();
    return status;
}
