// The text description format (see tools/swfwriter/README.md) turned into a movie.
#pragma once

#include <optional>
#include <string>

#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/movie_builder.h"

namespace swf {

// Adds what the description says to `movie`. On failure `error` reads "line N: ...".
bool ParseDescription(const std::string& text, MovieBuilder& movie, std::string& error);

// Description text to finished SWF bytes.
std::optional<Bytes> CompileDescription(const std::string& text, std::string& error);

}  // namespace swf
