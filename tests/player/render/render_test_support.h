// Movies drawn for the renderer's tests, and pixel comparisons with a tolerance.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "player/render/agg_renderer.h"
#include "tests/player/core/test_movies.h"

namespace kestrel::render {

using player::Rgba;

// Colour channels may be off by this much: coverage is kept in 8 bits.
constexpr int kTolerance = 3;

// The render list of a movie's first frame. Morph shapes in it belong to the
// stage's display objects, so `stage` has to outlive the list.
inline player::RenderList ListOf(const std::string& description,
                                 std::shared_ptr<const player::MovieDefinition>& movie,
                                 std::unique_ptr<player::Stage>& stage) {
    movie = player::test::loadDescription(description);
    player::RenderList list;
    if (!movie) return list;
    stage = std::make_unique<player::Stage>(movie, nullptr);
    stage->start();
    stage->buildRenderList(list);
    return list;
}

inline PixelBuffer Draw(const std::string& description) {
    std::shared_ptr<const player::MovieDefinition> movie;
    std::unique_ptr<player::Stage> stage;
    player::RenderList list = ListOf(description, movie, stage);
    PixelBuffer image;
    EXPECT_TRUE(RenderStage(list, image));
    return image;
}

using player::test::tagLine;

inline ::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected,
                                       int tolerance = kTolerance) {
    int channels[4][2] = {{actual.r, expected.r},
                          {actual.g, expected.g},
                          {actual.b, expected.b},
                          {actual.a, expected.a}};
    for (auto& c : channels) {
        if (std::abs(c[0] - c[1]) > tolerance)
            return ::testing::AssertionFailure()
                   << "got " << int(actual.r) << "," << int(actual.g) << "," << int(actual.b) << ","
                   << int(actual.a) << " expected " << int(expected.r) << "," << int(expected.g)
                   << "," << int(expected.b) << "," << int(expected.a);
    }
    return ::testing::AssertionSuccess();
}

struct PixelCase {
    int x, y;
    Rgba color;
};

inline void ExpectPixels(const PixelBuffer& image, const std::vector<PixelCase>& cases,
                         int tolerance = kTolerance) {
    for (const PixelCase& c : cases)
        EXPECT_TRUE(Near(image.At(c.x, c.y), c.color, tolerance)) << "pixel " << c.x << "," << c.y;
}

const Rgba kWhite{255, 255, 255, 255};
const Rgba kRed{255, 0, 0, 255};
const Rgba kBlue{0, 0, 255, 255};

}  // namespace kestrel::render
