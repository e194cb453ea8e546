#include <cstdio>
#include <string>
#include <vector>

#include "player/play/play_command.h"

int main(int argc, char** argv) {
    kestrel::play::Console console;
    console.out = [](const std::string& text) { std::fputs(text.c_str(), stdout); };
    console.err = [](const std::string& text) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    };
    int code = kestrel::play::RunPlay(std::vector<std::string>(argv + 1, argv + argc), console);
    // Trace output that could not be written is a failure too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return kestrel::play::kExitFailed;
    return code;
}
