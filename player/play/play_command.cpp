#include "player/play/play_command.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/binary_file.h"
#include "common/replacing_file.h"
#include "player/core/swf_file.h"
#include "player/render/agg_renderer.h"
#include "player/render/png_file.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/movie_url.h"

namespace kestrel::play {

namespace {

const char kUsage[] =
    "usage: kestrel-play MOVIE.swf [--frames N] [--trace FILE] [--png FILE]\n"
    "\n"
    "Plays the movie with no window for N frames (default 1; frame 1 is the\n"
    "first) at its own frame rate and prints its trace output.\n"
    "\n"
    "Options:\n"
    "  --frames N    frames to play, 1 or more\n"
    "  --trace FILE  write the trace output to FILE instead (replaced when the\n"
    "                run ends)\n"
    "  --png FILE    write the last frame as a PNG image of the stage at its own\n"
    "                size, one pixel per stage pixel\n"
    "  --help        this text\n"
    "\n"
    "Exit codes:\n"
    "  0  the movie played\n"
    "  1  the movie could not be read or an output could not be written\n"
    "  2  usage error: unknown option, missing or malformed argument\n";

int Report(const Console& console, int code, const std::string& message) {
    console.err("kestrel-play: " + message + "\n");
    return code;
}

bool ParseFrameCount(const std::string& text, long& frames) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > kMaxFrames) return false;
    frames = value;
    return true;
}

// The whole movie file, refused beyond what the player accepts.
bool ReadMovie(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    BinaryFile file;
    if (!file.open(path, BinaryFile::Mode::Read)) {
        error = path + ": cannot open the file";
        return false;
    }
    int64_t size = file.size();
    if (size < 0 || !file.seek(0)) {
        error = path + ": cannot read the file";
        return false;
    }
    if (static_cast<uint64_t>(size) > player::kMaxSwfSize) {
        error = path + ": " + player::toString(player::SwfError::TooLarge);
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    if (size > 0 && !file.readExactly(bytes.data(), bytes.size())) {
        error = path + ": cannot read the file";
        return false;
    }
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    ReplacingFile file;
    if (!file.Open(path)) return false;
    if (!text.empty() && !file.Write(text.data(), text.size())) return false;
    return file.Commit() == ReplacingFile::Result::Done;
}

}  // namespace

bool ParsePlayOptions(const std::vector<std::string>& args, PlayOptions& options, bool& help,
                      std::string& error) {
    help = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return true;
        }
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        if (arg == "--frames") {
            std::string text;
            if (!value(text)) return false;
            if (!ParseFrameCount(text, options.frames)) {
                error = "--frames takes a whole number from 1 to " + std::to_string(kMaxFrames) +
                        ", not '" + text + "'";
                return false;
            }
        } else if (arg == "--trace") {
            if (!value(options.traceFile)) return false;
            if (options.traceFile.empty()) {
                error = "--trace needs a file name";
                return false;
            }
        } else if (arg == "--png") {
            if (!value(options.pngFile)) return false;
            if (options.pngFile.empty()) {
                error = "--png needs a file name";
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg + "'";
            return false;
        } else if (options.movie.empty()) {
            options.movie = arg;
        } else {
            error = "one movie at a time ('" + arg + "' is a second)";
            return false;
        }
    }
    if (options.movie.empty()) {
        error = "no movie given";
        return false;
    }
    return true;
}

int RunPlay(const std::vector<std::string>& args, const Console& console,
            render::TextPainter* deviceText) {
    PlayOptions options;
    bool help = false;
    std::string error;
    if (!ParsePlayOptions(args, options, help, error)) {
        Report(console, kExitUsage, error);
        console.err(kUsage);
        return kExitUsage;
    }
    if (help) {
        console.out(kUsage);
        return kExitOk;
    }

    std::vector<uint8_t> bytes;
    if (!ReadMovie(options.movie, bytes, error)) return Report(console, kExitFailed, error);

    runtime::MoviePlayer player;
    std::error_code pathError;
    const std::filesystem::path fullPath = std::filesystem::absolute(options.movie, pathError);
    player.stageSettings().movieUrl =
        runtime::MovieUrlFrom(pathError ? options.movie : fullPath.string());
    std::string traceText;
    player.traceOutput().openFile("");  // only the outputs asked for here
    player.traceOutput().setCallback([&](std::string_view line) {
        std::string text(line);
        text += '\n';
        if (options.traceFile.empty())
            console.out(text);
        else
            traceText += text;
    });
    // Frame 1 plays as the load completes.
    if (!player.load(bytes.data(), bytes.size()))
        return Report(console, kExitFailed,
                      options.movie + ": " + player::toString(player.loadError()));
    // Each further frame moves the clock on by one frame interval, so intervals and
    // getTimer() see the time a real playback would.
    for (long frame = 1; frame < options.frames && !player.quitRequested(); ++frame) {
        if (player.tick(player.frameIntervalMs()) == 0) player.advanceFrame();
    }

    int result = kExitOk;
    if (!options.traceFile.empty() && !WriteWholeFile(options.traceFile, traceText))
        result =
            Report(console, kExitFailed, options.traceFile + ": cannot write the trace output");
    if (!options.pngFile.empty()) {
        player::RenderList frame;
        player.buildRenderList(frame);
        render::PixelBuffer image;
        render::FrameOptions look;
        look.antiAliased = player.stageSettings().quality != player::RenderQuality::Low;
        look.text = deviceText;
        if (!render::Renderer().RenderStage(frame, image, look))
            result = Report(console, kExitFailed,
                            options.pngFile + ": the stage has no size that an image can have");
        else if (!render::WritePngFile(options.pngFile, image, error))
            result = Report(console, kExitFailed, options.pngFile + ": " + error);
    }
    return result;
}

}  // namespace kestrel::play
