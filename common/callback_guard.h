// Code called from C (window and dialog procedures, hooks, NPAPI entries in both
// directions, thread entry points) must never let a C++ exception unwind into
// the caller's frames: the system or the plug-in cannot handle it and the
// process ends. GuardedCall runs the body and answers a stated fallback when
// anything is thrown.
#pragma once

#include <utility>

namespace kestrel {

template <typename Result, typename Body>
Result GuardedCall(Result fallback, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return fallback;
    }
}

// For callbacks that answer nothing.
template <typename Body>
void GuardedCall(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
    }
}

}  // namespace kestrel
