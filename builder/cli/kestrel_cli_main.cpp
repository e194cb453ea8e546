#include <cstdio>
#include <string>
#include <vector>

#include "builder/cli/cli_command.h"

int main(int argc, char** argv) {
    kestrel::cli::Console console;
    console.out = [](const std::string& text) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    };
    console.err = [](const std::string& text) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    };
    int code = kestrel::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), console);
    // A result that could not be written is a failure too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return kestrel::cli::kExitFailed;
    return code;
}
