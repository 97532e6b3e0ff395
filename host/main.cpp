#include <iostream>
#include <string>
#include <vector>

#include "host/commands.h"

#if defined(_WIN32)
#include <windows.h>

#include <shellapi.h>

#include "com/text.h"
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
    // Arguments as the user typed them (the narrow ones lose what the code page lacks), and
    // output in UTF-8, as lcdhost writes it everywhere.
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            const std::wstring_view arg(wide[i]);
            args.push_back(com::ToUtf8(std::u16string(arg.begin(), arg.end())));
        }
        LocalFree(wide);
    } else {
        args.assign(argv + 1, argv + argc);
    }
    SetConsoleOutputCP(CP_UTF8);
#else
    std::vector<std::string> args(argv + 1, argv + argc);
#endif
    const int status = host::RunCommand(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
