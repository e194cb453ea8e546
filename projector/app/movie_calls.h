// The names of the movie's callbacks that the projector calls into, in the
// order they are registered at start-up.
#pragma once

#include <cstddef>

namespace kestrel::projector {

inline constexpr const char* kMovieCallNames[] = {
    "menuCommand",      "addWindowForm",    "setThisWindowForm", "onMenuCommand",
    "onWindowResize",   "onWindowPosition", "onWindowClose",     "onWindowActivate",
    "onWindowMinimize", "onWindowMaximize", "onWindowRestore",   "apiInitFinished",
};
inline constexpr size_t kMovieCallCount = sizeof(kMovieCallNames) / sizeof(kMovieCallNames[0]);

// Registers every name as a script identifier, in order.
void RegisterMovieCallNames();

}  // namespace kestrel::projector
