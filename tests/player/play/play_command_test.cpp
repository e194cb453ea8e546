#include "player/play/play_command.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

#include "tests/common/test_folder.h"
#ifdef _WIN32
#include "player/shell/gdi_text_painter_win.h"
#endif
#include "tools/swfwriter/description.h"

namespace kestrel::play {
namespace {

using test::BytesOf;
using test::ReadBytes;
using test::WriteBytes;

// Frame n traces "frame n" and, from frame 2 on, the clock's frame count as
// getTimer() sees it (10 fps: 100 ms a frame).
const char kThreeFrames[] = R"(
stage 100 50
rate 10
action
  push "frame 1"
  trace
end
showframe
action
  push "frame 2"
  trace
  getTime
  trace
end
showframe
action
  push "frame 3"
  trace
  getTime
  trace
end
showframe
)";

const char kQuitsInFrame2[] = R"(
action
  push "one"
  trace
end
showframe
action
  push "two"
  trace
  getURL "FSCommand:quit" ""
end
showframe
action
  push "three"
  trace
end
showframe
)";

struct PlayRun {
    test::TestFolder folder;
    std::string out, err;

    std::string Movie(const char* description, const std::string& name = "movie.swf") {
        std::string error;
        std::optional<swf::Bytes> bytes = swf::CompileDescription(description, error);
        EXPECT_TRUE(bytes) << error;
        std::string path = folder / name;
        if (bytes) WriteBytes(path, *bytes);
        return path;
    }
    int Run(std::vector<std::string> args, render::TextPainter* deviceText = nullptr) {
        out.clear();
        err.clear();
        Console console{[this](const std::string& t) { out += t; },
                        [this](const std::string& t) { err += t; }};
        return RunPlay(args, console, deviceText);
    }
};

TEST(KestrelPlay, PlaysTheFramesAskedForWithTheClockMovingOnePerFrame) {
    PlayRun play;
    std::string movie = play.Movie(kThreeFrames);
    EXPECT_EQ(play.Run({movie}), kExitOk) << play.err;
    EXPECT_EQ(play.out, "frame 1\n");
    EXPECT_EQ(play.Run({movie, "--frames", "3"}), kExitOk) << play.err;
    EXPECT_EQ(play.out, "frame 1\nframe 2\n100\nframe 3\n200\n");
    // The timeline loops, as the player does by default.
    EXPECT_EQ(play.Run({"--frames", "4", movie}), kExitOk);
    EXPECT_EQ(play.out, "frame 1\nframe 2\n100\nframe 3\n200\nframe 1\n");
    EXPECT_EQ(play.err, "");
}

TEST(KestrelPlay, TraceFileTakesTheOutputAndReplacesAnOldOne) {
    PlayRun play;
    std::string movie = play.Movie(kThreeFrames);
    std::string trace = play.folder / "trace.txt";
    WriteBytes(trace, BytesOf("an older and much longer trace\n"));
    EXPECT_EQ(play.Run({movie, "--frames", "2", "--trace", trace}), kExitOk) << play.err;
    EXPECT_EQ(play.out, "");
    EXPECT_EQ(ReadBytes(trace), BytesOf("frame 1\nframe 2\n100\n"));

    std::string unwritable = play.folder / "no_such_folder/trace.txt";
    EXPECT_EQ(play.Run({movie, "--trace", unwritable}), kExitFailed);
    EXPECT_NE(play.err.find(unwritable), std::string::npos) << play.err;
}

// A red square that moves 10 pixels right each frame on a 40 x 20 white stage.
const char kMovingSquare[] = R"(
stage 40 20
background #FFFFFF
shape 1
  fill #FF0000
  rect 0 0 10 10 fill=1
end
place 1 depth=1 x=0 y=5
showframe
move depth=1 x=10 y=5
showframe
move depth=1 x=20 y=5
showframe
)";

TEST(KestrelPlay, PngHoldsTheLastFrameAtTheStageSize) {
    PlayRun play;
    std::string movie = play.Movie(kMovingSquare);
    std::string png = play.folder / "frame.png";
    ASSERT_EQ(play.Run({movie, "--frames", "2", "--png", png}), kExitOk) << play.err;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, png.c_str()));
    image.format = PNG_FORMAT_RGBA;
    EXPECT_EQ(image.width, 40u);
    EXPECT_EQ(image.height, 20u);
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    auto pixel = [&](int x, int y) {
        const uint8_t* p = &pixels[(y * 40 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(pixel(5, 10), (std::vector<int>{255, 255, 255, 255}));  // frame 1's place
    EXPECT_EQ(pixel(15, 10), (std::vector<int>{255, 0, 0, 255}));     // frame 2's
    EXPECT_EQ(pixel(15, 2), (std::vector<int>{255, 255, 255, 255}));

    EXPECT_EQ(play.Run({movie, "--png", play.folder / "missing/frame.png"}), kExitFailed);
    EXPECT_NE(play.err.find("missing/frame.png"), std::string::npos) << play.err;
}

// A square whose left edge halves a column of pixels, drawn at the quality the movie
// chose; the movie also traces its URL.
const char kLowQualitySquare[] = R"(
stage 40 20
background #FFFFFF
shape 1
  fill #FF0000
  rect 10.5 5 10 10 fill=1
end
place 1 depth=1
action
  push "_quality", "LOW"
  setVariable
  push "_url"
  getVariable
  trace
end
showframe
)";

TEST(KestrelPlay, PngFollowsTheMoviesQualityAndTheUrlIsAFileUrl) {
    PlayRun play;
    std::string movie = play.Movie(kLowQualitySquare, "low quality.swf");
    std::string png = play.folder / "frame.png";
    ASSERT_EQ(play.Run({movie, "--png", png}), kExitOk) << play.err;
    EXPECT_EQ(play.out.rfind("file://", 0), 0u) << play.out;
    EXPECT_NE(play.out.find("/low%20quality.swf\n"), std::string::npos) << play.out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, png.c_str()));
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    // No pixel is a blend of the square and the background.
    for (size_t i = 0; i < pixels.size(); i += 4)
        ASSERT_TRUE(pixels[i + 1] == 0 || pixels[i + 1] == 255) << "pixel " << i / 4;
    EXPECT_EQ(pixels[(10 * 40 + 15) * 4 + 1], 0);
}

// A field in a device font: black text on the white stage.
const char kDeviceTextField[] = R"(
stage 160 40
background #FFFFFF
font 1 "_sans"
edittext 2 5 5 150 30 font=1 size=20 color=#000000 readonly text="Kestrel"
place 2 depth=1
showframe
)";

// Pixels of the PNG darker than mid grey.
size_t DarkPixels(const std::string& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png.c_str())) return 0;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return 0;
    size_t dark = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) dark += pixels[i] < 128 ? 1 : 0;
    return dark;
}

TEST(KestrelPlay, DeviceTextIsInThePngWhenTheSystemDrawsIt) {
    PlayRun play;
    std::string movie = play.Movie(kDeviceTextField);
    std::string png = play.folder / "frame.png";
    ASSERT_EQ(play.Run({movie, "--png", png}), kExitOk) << play.err;
    EXPECT_EQ(DarkPixels(png), 0u);
#ifdef _WIN32
    shell::GdiTextPainter gdiText;
    ASSERT_EQ(play.Run({movie, "--png", png}, &gdiText), kExitOk) << play.err;
    EXPECT_GT(DarkPixels(png), 50u);
#endif
}

TEST(KestrelPlay, StopsWhenTheMovieQuits) {
    PlayRun play;
    EXPECT_EQ(play.Run({play.Movie(kQuitsInFrame2), "--frames", "10"}), kExitOk);
    EXPECT_EQ(play.out, "one\ntwo\n");
}

TEST(KestrelPlay, BadMoviesFailWithTheFileAndTheReason) {
    PlayRun play;
    std::string good = play.Movie(kThreeFrames);
    swf::Bytes bytes = ReadBytes(good);
    struct Case {
        const char* name;
        swf::Bytes content;
        const char* reason;
    } cases[] = {
        {"empty.swf", {}, "empty file"},
        {"text.swf", BytesOf("this is not a movie at all"), "not a SWF file"},
        {"cut.swf", swf::Bytes(bytes.begin(), bytes.begin() + 5), "truncated"},
        {"lzma.swf", BytesOf("ZWS\x0a\x40\0\0\0\0\0\0\0"), "LZMA"},
        {"corrupt.swf", BytesOf("CWS\x08\x40\0\0\0garbage that is no zlib stream"), "corrupt"},
    };
    for (const Case& c : cases) {
        std::string path = play.folder / c.name;
        WriteBytes(path, c.content);
        EXPECT_EQ(play.Run({path}), kExitFailed) << c.name;
        EXPECT_NE(play.err.find(path), std::string::npos) << play.err;
        EXPECT_NE(play.err.find(c.reason), std::string::npos) << c.name << ": " << play.err;
        EXPECT_EQ(play.out, "") << c.name;
    }
    EXPECT_EQ(play.Run({play.folder / "missing.swf"}), kExitFailed);
    EXPECT_NE(play.err.find("cannot open"), std::string::npos) << play.err;
    EXPECT_EQ(play.Run({play.folder.path()}), kExitFailed) << "a folder is no movie";
}

TEST(KestrelPlay, UsageErrorsAreExitCodeTwoAndHelpIsNot) {
    PlayRun play;
    std::string movie = play.Movie(kThreeFrames);
    const std::vector<std::vector<std::string>> bad = {
        {},
        {movie, "--frames"},
        {movie, "--frames", "0"},
        {movie, "--frames", "-3"},
        {movie, "--frames", "2x"},
        {movie, "--frames", "99999999999999999999"},
        {movie, "--trace"},
        {movie, "--trace", ""},
        {movie, "--png"},
        {movie, "--png", ""},
        {movie, "--colour"},
        {movie, movie},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(play.Run(args), kExitUsage) << (args.empty() ? "" : args.back());
        EXPECT_EQ(play.err.rfind("kestrel-play: ", 0), 0u) << play.err;
        EXPECT_NE(play.err.find("usage: kestrel-play"), std::string::npos);
    }
    EXPECT_EQ(play.Run({"--help"}), kExitOk);
    EXPECT_EQ(play.out.rfind("usage: kestrel-play MOVIE.swf", 0), 0u);
    EXPECT_NE(play.out.find("Exit codes"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::play
