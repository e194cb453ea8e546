// The plug-in's first look at a movie: header, stage size, background, and
// the colour it shows while the movie arrives in pieces.
#include <gtest/gtest.h>

#include "player/shell/shell_movie.h"
#include "player/shell/swf_header.h"
#include "swfwriter/movie_builder.h"

namespace kestrel::shell {
namespace {

std::vector<uint8_t> Movie(bool compressed, std::optional<swf::Rgba> background, int width = 320, int height = 240) {
    swf::MovieBuilder builder;
    builder.SetStageSize(width, height);
    builder.Header().compression = compressed ? swf::Compression::kZlib : swf::Compression::kNone;
    if (background) builder.SetBackgroundColor(*background);
    builder.Root().ShowFrame();
    return *builder.Build();
}

struct SummaryCase {
    const char* name;
    bool compressed;
    std::optional<swf::Rgba> background;
};

TEST(SwfSummary, ReadsStageAndBackgroundOfPlainAndCompressedMovies) {
    const SummaryCase cases[] = {
        {"plain", false, swf::Rgba{0x12, 0x34, 0x56, 255}},
        {"compressed", true, swf::Rgba{0xFE, 0x01, 0x80, 255}},
        {"plain without background", false, std::nullopt},
        {"compressed without background", true, std::nullopt},
    };
    for (const SummaryCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = Movie(c.compressed, c.background, 550, 400);
        const auto summary = ReadSwfSummary(bytes.data(), bytes.size());
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->stageWidthTwips, 550 * 20);
        EXPECT_EQ(summary->stageHeightTwips, 400 * 20);
        EXPECT_EQ(summary->hasBackground, c.background.has_value());
        if (c.background) {
            EXPECT_EQ(summary->red, c.background->r);
            EXPECT_EQ(summary->green, c.background->g);
            EXPECT_EQ(summary->blue, c.background->b);
        }
    }
}

TEST(SwfSummary, RefusesWhatIsNotAMovieAndEveryTruncationSafely) {
    SwfHeaderError error = SwfHeaderError::None;
    const uint8_t notSwf[] = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    EXPECT_FALSE(ReadSwfSummary(notSwf, sizeof notSwf, &error));
    EXPECT_EQ(error, SwfHeaderError::BadSignature);
    EXPECT_FALSE(ReadSwfSummary(notSwf, 3, &error));
    EXPECT_EQ(error, SwfHeaderError::TooShort);

    // Every prefix of both kinds either fails cleanly or reads a consistent header.
    for (bool compressed : {false, true}) {
        const std::vector<uint8_t> bytes = Movie(compressed, swf::Rgba{1, 2, 3, 255});
        for (size_t size = 0; size < bytes.size(); ++size) {
            const auto summary = ReadSwfSummary(bytes.data(), size);
            if (summary) {
                EXPECT_EQ(summary->stageWidthTwips, 320 * 20) << size;
            }
        }
    }
}

TEST(ShellMovie, ShowsWhiteUntilTheBackgroundArrivesThenTheMoviesColour) {
    const std::vector<uint8_t> bytes = Movie(true, swf::Rgba{0x33, 0x66, 0xCC, 255});
    auto movie = CreateShellMovie(ShellParameters{});
    EXPECT_EQ(movie->background().red, 255);
    EXPECT_FALSE(movie->stageSize());
    // Delivered in small pieces, as a stream may arrive.
    for (size_t at = 0; at < bytes.size(); at += 7)
        movie->receive(bytes.data() + at, std::min<size_t>(7, bytes.size() - at));
    movie->finish(true);
    const RgbColor color = movie->background();
    EXPECT_EQ(color.red, 0x33);
    EXPECT_EQ(color.green, 0x66);
    EXPECT_EQ(color.blue, 0xCC);
    ASSERT_TRUE(movie->stageSize());
    EXPECT_EQ(movie->stageSize()->first, 320);
}

TEST(ShellMovie, PageBackgroundParameterOverridesTheMovie) {
    const std::vector<uint8_t> bytes = Movie(false, swf::Rgba{0x33, 0x66, 0xCC, 255});
    auto movie = CreateShellMovie(ParseShellParameters({{"quality", "high"}, {"BGCOLOR", "#ff8000"}}));
    movie->receive(bytes.data(), bytes.size());
    movie->finish(true);
    EXPECT_EQ(movie->background().red, 0xFF);
    EXPECT_EQ(movie->background().green, 0x80);
    EXPECT_EQ(movie->background().blue, 0x00);
}

TEST(HtmlColor, ParsesSixHexDigitsOnly) {
    struct Case {
        const char* text;
        bool valid;
        uint8_t r, g, b;
    } cases[] = {
        {"#1a2B3c", true, 0x1A, 0x2B, 0x3C}, {"ffffff", true, 255, 255, 255}, {"#fff", false, 0, 0, 0},
        {"#12345g", false, 0, 0, 0},         {"", false, 0, 0, 0},            {"#1234567", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto color = ParseHtmlColor(c.text);
        ASSERT_EQ(color.has_value(), c.valid);
        if (color) {
            EXPECT_EQ(color->red, c.r);
            EXPECT_EQ(color->green, c.g);
            EXPECT_EQ(color->blue, c.b);
        }
    }
}

}  // namespace
}  // namespace kestrel::shell
