// Movies for the builder's tests, made with the project's SWF writer.
#pragma once

#include <string>

#include "tests/common/test_folder.h"
#include "tools/swfwriter/movie_builder.h"

namespace kestrel::test {

// Writes a one-frame movie with the given stage (twips) and returns its path.
inline std::string WriteMovie(const TestFolder& folder, const std::string& name, int32_t xMin,
                              int32_t xMax, int32_t yMin, int32_t yMax, bool compressed = false) {
    swf::MovieBuilder movie;
    movie.Header().stage = swf::Rect{xMin, xMax, yMin, yMax};
    movie.Header().compression = compressed ? swf::Compression::kZlib : swf::Compression::kNone;
    movie.Root().ShowFrame();
    std::string path = folder / name;
    WriteBytes(path, *movie.Build());
    return path;
}

}  // namespace kestrel::test
