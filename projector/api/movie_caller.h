// Calls into the movie of one window (the callbacks it registered through its
// external interface). The projector window provides it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class MovieCaller {
  public:
    virtual ~MovieCaller() = default;
    // Every argument is a string. True when the movie answered.
    virtual bool CallMovie(std::string_view name, const std::vector<std::string>& texts) = 0;
};

}  // namespace kestrel
