// kestrel-play: plays a movie headless for a number of frames and hands back its
// trace output and, when asked, the last frame as a PNG. A function so tests
// run it in-process; kestrel_play_main.cpp is the console program around it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kestrel::render {
class TextPainter;
}

namespace kestrel::play {

// Exit codes, documented in "kestrel-play --help".
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,  // the movie could not be read or an output not written
    kExitUsage = 2,   // unknown option, missing or malformed argument
};

struct Console {
    std::function<void(const std::string&)> out;  // trace output
    std::function<void(const std::string&)> err;  // messages
};

// Frames played when --frames is not given, and the most a run may ask for.
constexpr long kDefaultFrames = 1;
constexpr long kMaxFrames = 10000000;

struct PlayOptions {
    std::string movie;
    long frames = kDefaultFrames;
    std::string traceFile;  // empty: trace goes to the console
    std::string pngFile;    // empty: no image
};

// Parses the arguments (without the program name). False with a message on a usage
// error; `help` is set when --help was asked for.
bool ParsePlayOptions(const std::vector<std::string>& args, PlayOptions& options, bool& help,
                      std::string& error);

// `args` without the program name. `deviceText` draws text in the system's fonts into
// the PNG (not owned); without one such text is left out, as on systems that have none.
int RunPlay(const std::vector<std::string>& args, const Console& console,
            render::TextPainter* deviceText = nullptr);

}  // namespace kestrel::play
